# The main window, projects, page commands and the about box.
add_executable(app_gui_tests ${CMAKE_CURRENT_LIST_DIR}/main_window_test.cpp)
target_link_libraries(app_gui_tests PRIVATE quenfort_gui_test_support quenfort_test_support)
add_test(NAME app_gui_tests COMMAND app_gui_tests)
set_tests_properties(app_gui_tests PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QTWEBENGINE_DISABLE_SANDBOX=1"
  LABELS gui
  TIMEOUT 300)

# Edit > Preferences and the picture browses that follow it.
add_executable(preferences_gui_tests ${CMAKE_CURRENT_LIST_DIR}/preferences_test.cpp)
target_link_libraries(preferences_gui_tests PRIVATE quenfort_gui_test_support
                      quenfort_test_support)
add_test(NAME preferences_gui_tests COMMAND preferences_gui_tests)
set_tests_properties(preferences_gui_tests PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QTWEBENGINE_DISABLE_SANDBOX=1"
  LABELS gui)
