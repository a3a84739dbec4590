target_sources(cli_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/page_lock_cli_test.cpp)
