# The real program's tray icon end to end: include() this from tests/e2e/CMakeLists.txt.
add_test(NAME e2e_window_tray
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/window_tray_e2e.sh $<TARGET_FILE:corvalo>)
set_tests_properties(e2e_window_tray PROPERTIES TIMEOUT 270)
