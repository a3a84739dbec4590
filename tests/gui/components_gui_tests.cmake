# The component dialogs and the groups of controls they share.
add_executable(components_gui_tests components_dialogs_test.cpp)
target_link_libraries(components_gui_tests PRIVATE quenfort_gui_test_support quenfort_test_support)
add_test(NAME components_gui_tests COMMAND components_gui_tests)
set_tests_properties(components_gui_tests PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QTWEBENGINE_DISABLE_SANDBOX=1"
  LABELS gui)

# The form, its fields and the feedback script.
add_executable(form_gui_tests form_dialogs_test.cpp)
target_link_libraries(form_gui_tests PRIVATE quenfort_gui_test_support quenfort_test_support)
add_test(NAME form_gui_tests COMMAND form_gui_tests)
set_tests_properties(form_gui_tests PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QTWEBENGINE_DISABLE_SANDBOX=1"
  LABELS gui
  TIMEOUT 300)
# The table, frame and multimedia dialogs.
add_executable(table_media_gui_tests table_media_dialogs_test.cpp)
target_link_libraries(table_media_gui_tests PRIVATE quenfort_gui_test_support quenfort_test_support)
add_test(NAME table_media_gui_tests COMMAND table_media_gui_tests)
set_tests_properties(table_media_gui_tests PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QTWEBENGINE_DISABLE_SANDBOX=1"
  LABELS gui)
