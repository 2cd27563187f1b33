# One interface target that carries the project's warning and sanitizer flags;
# every library, program and test links it.
add_library(corvalo_warnings INTERFACE)
target_compile_options(corvalo_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
  -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual
  -Wimplicit-fallthrough -Wformat=2)
if(CORVALO_WERROR)
  target_compile_options(corvalo_warnings INTERFACE -Werror)
  # GCC 12 at -O3 flags std::string's own copies as overlapping (GCC bug 105329):
  # still shown, but not fatal.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(corvalo_warnings INTERFACE -Wno-error=restrict)
  endif()
endif()
if(CORVALO_SANITIZE)
  set(_corvalo_san -fsanitize=address,undefined -fno-sanitize-recover=undefined
                   -fno-omit-frame-pointer)
  target_compile_options(corvalo_warnings INTERFACE ${_corvalo_san})
  target_link_options(corvalo_warnings INTERFACE ${_corvalo_san})
  # Tests that starve the process of descriptors skip here: the sanitizers' own
  # memory checks need a pipe.
  target_compile_definitions(corvalo_warnings INTERFACE CORVALO_SANITIZED=1)
endif()

option(CORVALO_COVERAGE "Instrument every target for gcov line and branch coverage" OFF)
if(CORVALO_COVERAGE)
  target_compile_options(corvalo_warnings INTERFACE --coverage)
  target_link_options(corvalo_warnings INTERFACE --coverage)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # Absolute source paths in the .gcno files, whatever ccache makes of the command line.
    target_compile_options(corvalo_warnings INTERFACE -fprofile-abs-path)
  endif()
endif()

option(CORVALO_FUZZ "Build the libFuzzer targets (clang)" OFF)
if(CORVALO_FUZZ)
  # Coverage for every library; the fuzz targets add libFuzzer's main.
  target_compile_options(corvalo_warnings INTERFACE -fsanitize=fuzzer-no-link)
  target_link_options(corvalo_warnings INTERFACE -fsanitize=fuzzer-no-link)
endif()

# Sources of a module: every .cpp in its folder (each module owns one folder).
function(corvalo_module_sources out dir)
  file(GLOB _src CONFIGURE_DEPENDS "${dir}/*.cpp")
  set(${out} ${_src} PARENT_SCOPE)
endfunction()
