target_sources(cli_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/site_cli_test.cpp)
