target_sources(quenfort_cli_commands PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/cli_commands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/document_commands.cpp
)
