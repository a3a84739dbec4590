# New pages, the layout chooser and the layout designer.
add_executable(workspace_gui_tests workspace_dialogs_test.cpp)
target_link_libraries(workspace_gui_tests PRIVATE quenfort_gui_test_support quenfort_test_support)
add_test(NAME workspace_gui_tests COMMAND workspace_gui_tests)
set_tests_properties(workspace_gui_tests PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QTWEBENGINE_DISABLE_SANDBOX=1"
  LABELS gui)
