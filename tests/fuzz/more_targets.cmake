# Targets over the desk calculator and the network code.
add_executable(fuzz_desk_calculator fuzz_desk_calculator.cpp)
target_link_libraries(fuzz_desk_calculator PRIVATE corvalo_deskcalc corvalo_warnings)
target_link_options(fuzz_desk_calculator PRIVATE -fsanitize=fuzzer)
foreach(target IN ITEMS reply_header url)
  add_executable(fuzz_${target} fuzz_${target}.cpp)
  target_link_libraries(fuzz_${target} PRIVATE corvalo_net corvalo_warnings)
  target_link_options(fuzz_${target} PRIVATE -fsanitize=fuzzer)
endforeach()

# corvalo-cli's piecewise column against the whole input.
add_executable(fuzz_cli_pieces fuzz_cli_pieces.cpp)
target_link_libraries(fuzz_cli_pieces PRIVATE corvalo_cli_lib corvalo_warnings)
target_link_options(fuzz_cli_pieces PRIVATE -fsanitize=fuzzer)

# Rows of plain numbers read straight from the text against the loaded grid.
add_executable(fuzz_plain_rows fuzz_plain_rows.cpp)
target_link_libraries(fuzz_plain_rows PRIVATE corvalo_clipcalc corvalo_warnings)
target_link_options(fuzz_plain_rows PRIVATE -fsanitize=fuzzer)
