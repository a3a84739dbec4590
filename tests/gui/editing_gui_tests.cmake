# Editing areas and components, platforms, line breaks and HTML code.
add_executable(editing_gui_tests ${CMAKE_CURRENT_LIST_DIR}/editing_dialogs_test.cpp)
target_link_libraries(editing_gui_tests PRIVATE quenfort_gui_test_support quenfort_test_support)
add_test(NAME editing_gui_tests COMMAND editing_gui_tests)
set_tests_properties(editing_gui_tests PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QTWEBENGINE_DISABLE_SANDBOX=1"
  LABELS gui
  TIMEOUT 300)

# Modifying a component in its own dialog.
add_executable(modify_gui_tests ${CMAKE_CURRENT_LIST_DIR}/modify_dialogs_test.cpp)
target_link_libraries(modify_gui_tests PRIVATE quenfort_gui_test_support quenfort_test_support)
add_test(NAME modify_gui_tests COMMAND modify_gui_tests)
set_tests_properties(modify_gui_tests PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QTWEBENGINE_DISABLE_SANDBOX=1"
  LABELS gui
  TIMEOUT 300)
