target_sources(quenfort_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/html_check.cpp
  ${CMAKE_CURRENT_LIST_DIR}/page_places.cpp
  ${CMAKE_CURRENT_LIST_DIR}/rendered_check.cpp
  ${CMAKE_CURRENT_LIST_DIR}/site_check.cpp
)
# The check reads pages as browsers do, through Debian's HTML5 parser.
find_package(PkgConfig REQUIRED)
pkg_check_modules(GUMBO REQUIRED IMPORTED_TARGET gumbo)
target_link_libraries(quenfort_core PRIVATE PkgConfig::GUMBO)
