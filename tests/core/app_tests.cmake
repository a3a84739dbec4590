target_sources(core_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/project_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/page_commands_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/system_info_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/source_text_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/session_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/preferences_test.cpp
)
