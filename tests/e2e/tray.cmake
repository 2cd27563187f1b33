# The tray icon end to end: include() this from tests/e2e/CMakeLists.txt.
add_subdirectory(${CMAKE_CURRENT_LIST_DIR}/tray_harness ${CMAKE_BINARY_DIR}/tests/e2e/tray_harness)
add_test(NAME e2e_tray
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/tray_e2e.sh $<TARGET_FILE:tray_harness>)
set_tests_properties(e2e_tray PROPERTIES TIMEOUT 180)
add_test(NAME e2e_window_tray
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/window_tray_e2e.sh $<TARGET_FILE:corvalo>)
set_tests_properties(e2e_window_tray PROPERTIES TIMEOUT 180)
