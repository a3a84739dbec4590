target_sources(quenfort_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/app_folder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/workspace.cpp
  ${CMAKE_CURRENT_LIST_DIR}/source_text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/project.cpp
  ${CMAKE_CURRENT_LIST_DIR}/page_commands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/layouts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/numbered_files.cpp
  ${CMAKE_CURRENT_LIST_DIR}/new_page.cpp
  ${CMAKE_CURRENT_LIST_DIR}/layout_designer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/session.cpp
  ${CMAKE_CURRENT_LIST_DIR}/preferences.cpp
  ${CMAKE_CURRENT_LIST_DIR}/page_history.cpp
  ${CMAKE_CURRENT_LIST_DIR}/page_guard.cpp
  ${CMAKE_CURRENT_LIST_DIR}/site_change.cpp
  # Area and component editing, platforms, line breaks and raw HTML.
  ${CMAKE_CURRENT_LIST_DIR}/area_editing.cpp
  ${CMAKE_CURRENT_LIST_DIR}/component_editing.cpp
  ${CMAKE_CURRENT_LIST_DIR}/component_values.cpp
  ${CMAKE_CURRENT_LIST_DIR}/area_content.cpp
)
