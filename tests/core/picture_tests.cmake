# Pictures made fit for the web: the core's import with the picture library
# (Qt's image readers and writers), so a program of its own beside core_tests,
# which stays with QtCore.
add_executable(picture_tests ${CMAKE_CURRENT_LIST_DIR}/web_picture_test.cpp)
target_link_libraries(picture_tests PRIVATE quenfort_picture_size quenfort_core Qt6::Gui GTest::gtest
                      GTest::gtest_main)
gtest_discover_tests(picture_tests DISCOVERY_MODE PRE_TEST PROPERTIES LABELS pictures)
