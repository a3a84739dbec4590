# The insertion pipeline and the component builders.
target_sources(quenfort_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/colour.cpp
  ${CMAKE_CURRENT_LIST_DIR}/component_fields.cpp
  ${CMAKE_CURRENT_LIST_DIR}/component_reading.cpp
  ${CMAKE_CURRENT_LIST_DIR}/custom_tables.cpp
  ${CMAKE_CURRENT_LIST_DIR}/font_faces.cpp
  ${CMAKE_CURRENT_LIST_DIR}/form.cpp
  ${CMAKE_CURRENT_LIST_DIR}/form_builders.cpp
  ${CMAKE_CURRENT_LIST_DIR}/image_builders.cpp
  ${CMAKE_CURRENT_LIST_DIR}/insertion.cpp
  ${CMAKE_CURRENT_LIST_DIR}/media_builders.cpp
  ${CMAKE_CURRENT_LIST_DIR}/page_properties.cpp
  ${CMAKE_CURRENT_LIST_DIR}/picture_import.cpp
  ${CMAKE_CURRENT_LIST_DIR}/picture_metadata.cpp
  ${CMAKE_CURRENT_LIST_DIR}/php_script.cpp
  ${CMAKE_CURRENT_LIST_DIR}/rollover.cpp
  ${CMAKE_CURRENT_LIST_DIR}/small_screens.cpp
  ${CMAKE_CURRENT_LIST_DIR}/table_builders.cpp
  ${CMAKE_CURRENT_LIST_DIR}/text_builders.cpp
  ${CMAKE_CURRENT_LIST_DIR}/user_text.cpp
)
