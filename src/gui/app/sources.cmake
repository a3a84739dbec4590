target_sources(quenfort_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/dialog_table.cpp
  ${CMAKE_CURRENT_LIST_DIR}/modify_component.cpp
  ${CMAKE_CURRENT_LIST_DIR}/view_source_dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/palette_table.cpp
  ${CMAKE_CURRENT_LIST_DIR}/main_window.cpp
  ${CMAKE_CURRENT_LIST_DIR}/main_window_session.cpp
  ${CMAKE_CURRENT_LIST_DIR}/main_window_preview.cpp
  ${CMAKE_CURRENT_LIST_DIR}/command_line.cpp
  ${CMAKE_CURRENT_LIST_DIR}/page_watcher.cpp
  ${CMAKE_CURRENT_LIST_DIR}/site_check_dock.cpp
  ${CMAKE_CURRENT_LIST_DIR}/preferences_dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/publish_dialog.cpp
)
target_link_libraries(quenfort_gui PUBLIC quenfort_publish quenfort_transfers)
