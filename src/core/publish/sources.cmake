# Publishing sends the project to a server or a folder; libcurl carries the
# transfers, the desktop's secret store keeps the passwords.
add_library(quenfort_publish STATIC
  ${CMAKE_CURRENT_LIST_DIR}/publish_files.cpp
  ${CMAKE_CURRENT_LIST_DIR}/targets.cpp
  ${CMAKE_CURRENT_LIST_DIR}/folder_transport.cpp
  ${CMAKE_CURRENT_LIST_DIR}/curl_transport.cpp
  ${CMAKE_CURRENT_LIST_DIR}/publish.cpp
  ${CMAKE_CURRENT_LIST_DIR}/secret_store.cpp
)
find_package(CURL REQUIRED)
find_package(Qt6Keychain REQUIRED)
target_link_libraries(quenfort_publish PUBLIC quenfort_core PRIVATE CURL::libcurl Qt6Keychain::Qt6Keychain)
