# The about box's operating-system and memory lines, and the version.
target_sources(quenfort_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/system_info.cpp
)
configure_file(${CMAKE_CURRENT_LIST_DIR}/version.h.in ${CMAKE_CURRENT_BINARY_DIR}/generated/about/version.h
               @ONLY)
target_include_directories(quenfort_core PUBLIC ${CMAKE_CURRENT_BINARY_DIR}/generated)
