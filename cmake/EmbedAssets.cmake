# Turns files into C++ byte arrays at build time:
#   cmake -DOUT=<file.cpp> -DHEADER=<include> -DFILES="name=path|..." -P EmbedAssets.cmake
# Each name becomes a function `std::span<const std::uint8_t> name()` in corvalo::shell.
set(_body "// Generated from the files in assets/; do not edit.\n#include \"${HEADER}\"\n\n")
string(APPEND _body "namespace corvalo::shell {\n\nnamespace {\n")
set(_funcs "")
string(REPLACE "|" ";" _files "${FILES}")
foreach(_pair IN LISTS _files)
  string(REPLACE "=" ";" _parts "${_pair}")
  list(GET _parts 0 _name)
  list(GET _parts 1 _path)
  file(READ "${_path}" _hex HEX)
  string(LENGTH "${_hex}" _len)
  math(EXPR _size "${_len} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," _bytes "${_hex}")
  # 16 bytes a line keeps the generated file readable and its lines short.
  string(REGEX REPLACE "((0x..,){16})" "\\1\n    " _bytes "${_bytes}")
  string(APPEND _body "const std::uint8_t k${_name}[${_size}] = {\n    ${_bytes}\n};\n")
  string(APPEND _funcs "std::span<const std::uint8_t> ${_name}() { return k${_name}; }\n")
endforeach()
string(APPEND _body "}  // namespace\n\n${_funcs}\n}  // namespace corvalo::shell\n")
file(WRITE "${OUT}.tmp" "${_body}")
file(COPY_FILE "${OUT}.tmp" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.tmp")
