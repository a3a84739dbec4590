# Groups of controls that several dialogs share, and the dialog frame.
target_sources(quenfort_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/tool_dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/simple_fields.cpp
  ${CMAKE_CURRENT_LIST_DIR}/field_fillers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/colour_field.cpp
  ${CMAKE_CURRENT_LIST_DIR}/picture_field.cpp
  ${CMAKE_CURRENT_LIST_DIR}/image_fields.cpp
  ${CMAKE_CURRENT_LIST_DIR}/page_destination.cpp
  ${CMAKE_CURRENT_LIST_DIR}/font_group.cpp
  ${CMAKE_CURRENT_LIST_DIR}/field_style.cpp
  ${CMAKE_CURRENT_LIST_DIR}/elided_label.cpp
)
