# A page as visitors receive it (the core), and the site rendered for
# publishing and export, which lists the project's files as publishing does.
target_sources(quenfort_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/render_page.cpp
)
target_sources(quenfort_publish PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/render_site.cpp
)
