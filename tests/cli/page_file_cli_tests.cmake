target_sources(cli_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/page_file_cli_test.cpp)
# Loaded into the command line under test to make a chosen system call fail.
add_library(write_failure_shim SHARED ${CMAKE_CURRENT_LIST_DIR}/write_failure_shim.cpp)
target_link_libraries(write_failure_shim PRIVATE ${CMAKE_DL_LIBS})
target_compile_definitions(cli_tests PRIVATE
  QUENFORT_WRITE_FAILURE_SHIM="$<TARGET_FILE:write_failure_shim>")
add_dependencies(cli_tests write_failure_shim)
target_sources(cli_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/write_path_cli_test.cpp)
