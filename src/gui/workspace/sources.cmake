# Projects, new pages, layouts and the editing of areas and components.
target_sources(quenfort_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/project_dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/new_page_dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/layout_chooser.cpp
  ${CMAKE_CURRENT_LIST_DIR}/layout_designer_dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/area_dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/source_dialogs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/platform_dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/edit_commands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/site_settings_dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/rename_page_dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/replace_dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shared_part_dialogs.cpp
)
