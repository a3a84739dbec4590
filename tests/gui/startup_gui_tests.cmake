# What the editor opens from its command line, and the version it shows.
add_executable(startup_gui_tests ${CMAKE_CURRENT_LIST_DIR}/start_arguments_test.cpp)
target_link_libraries(startup_gui_tests PRIVATE quenfort_gui_test_support quenfort_test_support)
add_test(NAME startup_gui_tests COMMAND startup_gui_tests)
set_tests_properties(startup_gui_tests PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QTWEBENGINE_DISABLE_SANDBOX=1"
  LABELS gui
  TIMEOUT 300)
# The icon files the install puts in place, made by the build.
find_package(Qt6 REQUIRED COMPONENTS Svg)
target_link_libraries(startup_gui_tests PRIVATE Qt6::Svg)
target_compile_definitions(startup_gui_tests PRIVATE
  QUENFORT_ICON_FOLDER="${PROJECT_BINARY_DIR}/packaging/icons")
add_dependencies(startup_gui_tests quenfort_icon_files)
