target_sources(core_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/publish_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/render_test.cpp
)
target_link_libraries(core_tests PRIVATE quenfort_publish quenfort_transfers)
