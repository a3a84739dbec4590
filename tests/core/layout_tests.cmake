target_sources(core_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/layouts_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/new_page_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/layout_designer_test.cpp
)
