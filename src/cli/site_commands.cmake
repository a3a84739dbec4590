target_sources(quenfort_cli_commands PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/site_commands.cpp
)
