# Projects, new pages, layouts and the editing of areas and components.
target_sources(quenfort_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/project_dialog.cpp
)
