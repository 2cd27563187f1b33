# Files the program carries inside itself: the About picture and the icon.
set(_assets ${PROJECT_SOURCE_DIR}/assets)
set(_embedded ${CMAKE_CURRENT_BINARY_DIR}/embedded_assets.cpp)
add_custom_command(
  OUTPUT ${_embedded}
  COMMAND ${CMAKE_COMMAND} -DOUT=${_embedded} -DHEADER=shell/embedded_assets.h
          "-DFILES=AboutPictureJpeg=${_assets}/about.jpg|AppIconPng=${_assets}/corvalo.png"
          -P ${PROJECT_SOURCE_DIR}/cmake/EmbedAssets.cmake
  DEPENDS ${_assets}/about.jpg ${_assets}/corvalo.png ${PROJECT_SOURCE_DIR}/cmake/EmbedAssets.cmake
  COMMENT "Embedding the About picture and the icon"
  VERBATIM)
target_sources(corvalo_shell PRIVATE ${_embedded})

# Font faces that are not installed fall back through fontconfig (font dialog).
find_package(Fontconfig REQUIRED GLOBAL)
target_link_libraries(corvalo_platform_qt PRIVATE Fontconfig::Fontconfig)

# The help file lies beside the program, in the build tree as when installed.
add_custom_command(TARGET corvalo POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${_assets}/help/CORVALO.HLP
          $<TARGET_FILE_DIR:corvalo>/CORVALO.HLP
  VERBATIM)
