target_sources(core_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/page_rename_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/site_editing_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/site_check_test.cpp
)
