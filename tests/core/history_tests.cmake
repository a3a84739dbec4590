target_sources(quenfort_test_support PRIVATE ${CMAKE_CURRENT_LIST_DIR}/random_edits.cpp)
target_sources(core_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/page_history_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/page_guard_test.cpp
)
