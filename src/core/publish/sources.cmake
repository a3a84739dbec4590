# Publishing sends the project to a server or a folder: the plan, the
# manifest, the targets and the folder transport need only QtCore.
add_library(quenfort_publish STATIC
  ${CMAKE_CURRENT_LIST_DIR}/publish_files.cpp
  ${CMAKE_CURRENT_LIST_DIR}/targets.cpp
  ${CMAKE_CURRENT_LIST_DIR}/folder_transport.cpp
  ${CMAKE_CURRENT_LIST_DIR}/publish.cpp
)
target_link_libraries(quenfort_publish PUBLIC quenfort_core)

# The transfers to servers (libcurl; git repositories with libgit2) and the desktop's secret store
# (QtKeychain). The editor and the tests link them; the command line loads
# them as a module only when it publishes (src/modules). So they are compiled
# position-independent and do not link the core: whoever links or loads them
# has it.
find_package(CURL REQUIRED)
find_package(Qt6Keychain REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(LIBGIT2 REQUIRED IMPORTED_TARGET libgit2)
add_library(quenfort_transfers OBJECT
  ${CMAKE_CURRENT_LIST_DIR}/curl_transport.cpp
  ${CMAKE_CURRENT_LIST_DIR}/git_publish.cpp
  ${CMAKE_CURRENT_LIST_DIR}/secret_store.cpp
)
set_target_properties(quenfort_transfers PROPERTIES POSITION_INDEPENDENT_CODE ON)
target_include_directories(quenfort_transfers PUBLIC ${CMAKE_CURRENT_LIST_DIR}/..)
target_link_libraries(quenfort_transfers PUBLIC quenfort_settings Qt6::Core
                                         PRIVATE CURL::libcurl PkgConfig::LIBGIT2
                                                 Qt6Keychain::Qt6Keychain)
