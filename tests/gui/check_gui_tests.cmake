# Check Site: the list of findings and the check beside the window.
add_executable(site_check_gui_tests ${CMAKE_CURRENT_LIST_DIR}/site_check_test.cpp)
target_link_libraries(site_check_gui_tests PRIVATE quenfort_gui_test_support quenfort_test_support)
add_test(NAME site_check_gui_tests COMMAND site_check_gui_tests)
# Alone: run beside the other browser-engine tests it has twice stopped
# answering, which it never does on its own.
set_tests_properties(site_check_gui_tests PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QTWEBENGINE_DISABLE_SANDBOX=1"
  LABELS gui
  RUN_SERIAL TRUE
  TIMEOUT 300)
