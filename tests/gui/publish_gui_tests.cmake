# File > Publish Project: the dialog, its worker and its questions.
add_executable(publish_gui_tests ${CMAKE_CURRENT_LIST_DIR}/publish_dialog_test.cpp
                                 ${PROJECT_SOURCE_DIR}/tests/publish/test_servers.cpp)
target_include_directories(publish_gui_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests/publish)
target_compile_definitions(publish_gui_tests PRIVATE
  QUENFORT_FTP_SERVER="${PROJECT_SOURCE_DIR}/tests/publish/ftp_server.py")
target_link_libraries(publish_gui_tests PRIVATE quenfort_gui_test_support quenfort_test_support
                                                quenfort_publish)
add_test(NAME publish_gui_tests COMMAND publish_gui_tests)
set_tests_properties(publish_gui_tests PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QTWEBENGINE_DISABLE_SANDBOX=1"
  LABELS gui
  TIMEOUT 300)
