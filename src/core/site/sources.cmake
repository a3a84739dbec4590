target_sources(quenfort_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/page_rename.cpp
  ${CMAKE_CURRENT_LIST_DIR}/site_settings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/site_replace.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shared_parts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/site_menu.cpp
  ${CMAKE_CURRENT_LIST_DIR}/site_style.cpp
  ${CMAKE_CURRENT_LIST_DIR}/thank_you_page.cpp
)
