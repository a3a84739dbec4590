target_sources(quenfort_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/page_rename.cpp
  ${CMAKE_CURRENT_LIST_DIR}/site_settings.cpp
)
