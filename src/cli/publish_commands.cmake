target_sources(quenfort_cli_commands PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/publish_commands.cpp
)
target_link_libraries(quenfort_cli_commands PUBLIC quenfort_publish)
