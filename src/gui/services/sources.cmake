# What every window uses: the prompts interface, the preview and the icons.
# Nothing here includes from app/, components/, workspace/ or widgets/.
target_sources(quenfort_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/prompts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/preview.cpp
  ${CMAKE_CURRENT_LIST_DIR}/icons.cpp
)
# The preview's scripts (the link guard, the outlines), compiled in.
qt_add_resources(quenfort_gui "preview_scripts"
  PREFIX "/preview"
  BASE ${CMAKE_CURRENT_LIST_DIR}
  FILES ${CMAKE_CURRENT_LIST_DIR}/preview_links.js
    ${CMAKE_CURRENT_LIST_DIR}/preview_outlines.js
)
