target_sources(quenfort_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/about_dialog.cpp
)
