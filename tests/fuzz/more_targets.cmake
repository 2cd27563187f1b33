# Targets over the modules beyond the calculation core.
if(TARGET corvalo_calculator)
  add_executable(fuzz_calculator fuzz_calculator.cpp)
  target_link_libraries(fuzz_calculator PRIVATE corvalo_calculator corvalo_warnings)
  target_link_options(fuzz_calculator PRIVATE -fsanitize=fuzzer)
endif()
