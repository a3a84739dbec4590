target_sources(cli_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/publish_cli_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/git_publish_cli_test.cpp
  ${PROJECT_SOURCE_DIR}/tests/publish/test_servers.cpp
)
target_include_directories(cli_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests/publish)
target_compile_definitions(cli_tests PRIVATE
  QUENFORT_FTP_SERVER="${PROJECT_SOURCE_DIR}/tests/publish/ftp_server.py")
