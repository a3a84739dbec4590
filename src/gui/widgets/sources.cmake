# Groups of controls that several dialogs share, and the dialog frame.
target_sources(quenfort_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/tool_dialog.cpp
)
