target_sources(core_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/component_builders_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/component_reading_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/form_builders_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/insertion_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/php_script_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/page_properties_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/picture_import_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/picture_metadata_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/small_screens_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/table_media_test.cpp
)
