target_sources(cli_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/component_cli_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/form_cli_test.cpp)
target_link_libraries(cli_tests PRIVATE Qt6::Gui)
