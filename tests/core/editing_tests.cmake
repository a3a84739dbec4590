# Area and component editing, platforms, line breaks and raw HTML.
target_sources(core_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/area_editing_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/component_editing_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/component_values_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/area_content_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/editing_sequence_test.cpp
)
