# Installing like a desktop program, and the .deb package.
#
# Layout (prefix /usr in the package):
#   lib/corvalo/corvalo        the program
#   lib/corvalo/CORVALO.HLP    its help, which it looks for in its own folder
#   bin/corvalo                a relative link to the program (the folder the
#                              program finds is the link's target, not bin/)
#   bin/corvalo-cli            the command-line calculator
#   share/applications/corvalo.desktop, share/icons/hicolor/256x256/apps/corvalo.png
include(GNUInstallDirs)

set(CORVALO_PROGRAM_DIR lib/corvalo)
set(_assets ${PROJECT_SOURCE_DIR}/assets)

if(TARGET corvalo)
  install(TARGETS corvalo RUNTIME DESTINATION ${CORVALO_PROGRAM_DIR} COMPONENT program)
  install(FILES ${_assets}/help/CORVALO.HLP DESTINATION ${CORVALO_PROGRAM_DIR}
          COMPONENT program)
  install(CODE "
    set(_bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(MAKE_DIRECTORY \"\${_bin}\")
    file(REMOVE \"\${_bin}/corvalo\")
    file(CREATE_LINK ../${CORVALO_PROGRAM_DIR}/corvalo \"\${_bin}/corvalo\" SYMBOLIC)
    message(STATUS \"Installing: \${_bin}/corvalo -> ../${CORVALO_PROGRAM_DIR}/corvalo\")
  " COMPONENT program)
  install(FILES ${_assets}/corvalo.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT program)
  install(FILES ${_assets}/corvalo.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps COMPONENT program)
endif()
if(TARGET corvalo-cli)
  install(TARGETS corvalo-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT program)
endif()

# The .deb: `cpack -G DEB` in the build folder.
set(CPACK_PACKAGE_NAME corvalo)
set(CPACK_PACKAGE_VENDOR "The Corvalo Authors")
set(CPACK_PACKAGE_CONTACT "The Corvalo Authors <corvalo@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Clipboard calculator: totals of copied columns and rows")
set(CPACK_PACKAGE_DESCRIPTION
    "Copy a block of numbers from a spreadsheet, a document or a web page and press
Calculate Clipboard: Corvalo shows the sum, difference, product or quotient of a
column or row, grouped in thousands in your locale, ready to copy back. It also
carries an adding-machine desk calculator with memory and paper tape.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Libraries from the program's own links; the Qt platform plugins are loaded at
# run time, so no link names them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core")
set(CPACK_GENERATOR DEB)
include(CPack)
