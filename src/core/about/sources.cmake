# The about box's operating-system and memory lines.
target_sources(quenfort_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/system_info.cpp
)
