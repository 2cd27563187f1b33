# Installing like a desktop program, and the .deb package.
#
# Layout (prefix /usr in the package):
#   lib/corvalo/corvalo          the program
#   lib/corvalo/CORVALO.HLP      its help, which it looks for in its own folder
#   lib/corvalo/desktop-start    the menu's launcher: the program in ~/.config/corvalo
#   bin/corvalo                  a relative link to the program (the folder the
#                                program finds is the link's target, not bin/)
#   bin/corvalo-cli              the command-line calculator
#   share/applications/corvalo.desktop, share/metainfo/com.corvalo.corvalo.metainfo.xml
#   share/icons/hicolor/<size>/apps/corvalo.png and scalable/apps/corvalo.svg
#   share/man/man1/corvalo.1.gz, corvalo-cli.1.gz
#   share/bash-completion/completions/corvalo-cli
#   share/doc/corvalo/copyright, changelog.gz
include(GNUInstallDirs)

set(CORVALO_PROGRAM_DIR lib/corvalo)
set(_assets ${PROJECT_SOURCE_DIR}/assets)
# The day 1.01 was set; manual pages carry it instead of the build's date.
set(CORVALO_RELEASE_EPOCH 1796515200)  # 2026-12-06

# --- Manual pages and the compressed changelog, made at build time.
find_program(CORVALO_SCDOC scdoc)
if(NOT CORVALO_SCDOC)
  message(FATAL_ERROR "scdoc was not found: it builds the manual pages from docs/man/*.scd.\n"
                      "Install it with `apt-get install scdoc` (scripts/install-deps does).")
endif()
find_program(CORVALO_GZIP gzip REQUIRED)
set(CORVALO_MAN_DIR ${PROJECT_BINARY_DIR}/man)
set(_man_outputs "")
foreach(_page corvalo corvalo-cli)
  set(_scd ${PROJECT_SOURCE_DIR}/docs/man/${_page}.1.scd)
  set(_roff ${CORVALO_MAN_DIR}/${_page}.1)
  add_custom_command(
    OUTPUT ${_roff} ${_roff}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CORVALO_MAN_DIR}
    COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${CORVALO_RELEASE_EPOCH}
            sh -c "\"$1\" < \"$2\" > \"$3\"" sh ${CORVALO_SCDOC} ${_scd} ${_roff}
    # -n: no name or time stamp inside, so the package is the same on every build.
    COMMAND sh -c "\"$1\" -9nc \"$2\" > \"$2.gz\"" sh ${CORVALO_GZIP} ${_roff}
    DEPENDS ${_scd}
    COMMENT "Manual page ${_page}(1)"
    VERBATIM)
  list(APPEND _man_outputs ${_roff} ${_roff}.gz)
endforeach()
set(_changelog ${PROJECT_BINARY_DIR}/package/changelog.gz)
add_custom_command(
  OUTPUT ${_changelog}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/package
  COMMAND sh -c "\"$1\" -9nc \"$2\" > \"$3\"" sh ${CORVALO_GZIP} ${_assets}/package/changelog
          ${_changelog}
  DEPENDS ${_assets}/package/changelog
  COMMENT "Compressing the changelog"
  VERBATIM)
add_custom_target(corvalo_docs ALL DEPENDS ${_man_outputs} ${_changelog})

# --- Files.
if(TARGET corvalo)
  install(TARGETS corvalo RUNTIME DESTINATION ${CORVALO_PROGRAM_DIR} COMPONENT program)
  install(FILES ${_assets}/help/CORVALO.HLP DESTINATION ${CORVALO_PROGRAM_DIR}
          COMPONENT program)
  install(PROGRAMS ${_assets}/desktop-start DESTINATION ${CORVALO_PROGRAM_DIR}
          COMPONENT program)
  install(CODE "
    set(_bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(MAKE_DIRECTORY \"\${_bin}\")
    file(REMOVE \"\${_bin}/corvalo\")
    file(CREATE_LINK ../${CORVALO_PROGRAM_DIR}/corvalo \"\${_bin}/corvalo\" SYMBOLIC)
    message(STATUS \"Installing: \${_bin}/corvalo -> ../${CORVALO_PROGRAM_DIR}/corvalo\")
  " COMPONENT program)
  # The entry names the launcher by its full path, known only when installing
  # (cpack installs under its own prefix).
  install(CODE "
    set(_apps \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications\")
    set(_start \"\${CMAKE_INSTALL_PREFIX}/${CORVALO_PROGRAM_DIR}/desktop-start\")
    file(READ \"${_assets}/corvalo.desktop.in\" _entry)
    string(REPLACE \"@CORVALO_DESKTOP_START@\" \"\${_start}\" _entry \"\${_entry}\")
    file(MAKE_DIRECTORY \"\${_apps}\")
    file(WRITE \"\${_apps}/corvalo.desktop\" \"\${_entry}\")
    message(STATUS \"Installing: \${_apps}/corvalo.desktop\")
  " COMPONENT program)
  install(FILES ${_assets}/com.corvalo.corvalo.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT program)
  install(DIRECTORY ${_assets}/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons
          COMPONENT program)
  install(FILES ${CORVALO_MAN_DIR}/corvalo.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
          COMPONENT program)
endif()
if(TARGET corvalo-cli)
  install(TARGETS corvalo-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT program)
  install(FILES ${CORVALO_MAN_DIR}/corvalo-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
          COMPONENT program)
  install(FILES ${PROJECT_SOURCE_DIR}/tools/corvalo-cli/corvalo-cli.bash
          DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
          RENAME corvalo-cli COMPONENT program)
endif()
install(FILES ${_assets}/package/copyright ${_changelog}
        DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT program)

# --- The .deb: `cpack -G DEB` in the build folder.
set(CPACK_PACKAGE_NAME corvalo)
set(CPACK_PACKAGE_VENDOR "The Corvalo Authors")
set(CPACK_PACKAGE_CONTACT "The Corvalo Authors <corvalo@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Clipboard calculator: totals of copied columns and rows")
# The control file's long description: lines under 80 characters with the blank
# that starts each of them.
set(CPACK_PACKAGE_DESCRIPTION
    "Copy a block of numbers from a spreadsheet, a document or a web page
and press Calculate Clipboard: Corvalo shows the sum, difference,
product or quotient of a column or row, grouped in thousands in your
locale, ready to copy back. It also carries an adding-machine desk
calculator with memory, and corvalo-cli, which runs the same
calculation on standard input.")
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
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core, qt6-wayland")
set(CPACK_GENERATOR DEB)
include(CPack)
