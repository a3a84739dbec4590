# One dialog per component kind, and the page properties dialog.
target_sources(quenfort_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/component_dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/link_text_fields.cpp
  ${CMAKE_CURRENT_LIST_DIR}/image_dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/image_link_dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/rollover_dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/text_link_dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mail_link_dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/horizontal_line_dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/text_dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/item_list_dialogs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/page_properties_dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/form_field_dialogs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/form_dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/php_script_dialog.cpp
  # Tables and frames, multimedia.
  ${CMAKE_CURRENT_LIST_DIR}/data_table_dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/custom_table_dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/frame_dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/media_dialogs.cpp
)
