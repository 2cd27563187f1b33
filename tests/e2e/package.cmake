# The .deb end to end (include from tests/e2e/CMakeLists.txt): builds the package
# from this build folder, unpacks it and starts the unpacked program under Xvfb.
add_test(NAME e2e_package
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/package_e2e.sh ${CMAKE_BINARY_DIR})
set_tests_properties(e2e_package PROPERTIES TIMEOUT 300)
