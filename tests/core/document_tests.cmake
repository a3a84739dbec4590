target_sources(core_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/page_text_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/page_file_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/line_cut_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/selection_lists_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/page_check_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/workspace_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/app_folder_test.cpp
)
