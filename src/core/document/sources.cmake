target_sources(quenfort_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/file_io.cpp
  ${CMAKE_CURRENT_LIST_DIR}/kind_table.cpp
  ${CMAKE_CURRENT_LIST_DIR}/page_check.cpp
  ${CMAKE_CURRENT_LIST_DIR}/page_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/page_text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/selection_lists.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shared_markers.cpp
)
