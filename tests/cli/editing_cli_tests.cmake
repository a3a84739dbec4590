target_sources(cli_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/editing_cli_test.cpp)
target_sources(cli_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/component_values_cli_test.cpp)
