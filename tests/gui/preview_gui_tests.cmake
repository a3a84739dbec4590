# The window's title and memory, and the preview one points at.
foreach(program session_window preview_pointing)
  if(EXISTS ${CMAKE_CURRENT_LIST_DIR}/${program}_test.cpp)
    add_executable(${program}_gui_tests ${CMAKE_CURRENT_LIST_DIR}/${program}_test.cpp)
    target_link_libraries(${program}_gui_tests PRIVATE quenfort_gui_test_support quenfort_test_support
                          Qt6::Pdf)
    add_test(NAME ${program}_gui_tests COMMAND ${program}_gui_tests)
    set_tests_properties(${program}_gui_tests PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QTWEBENGINE_DISABLE_SANDBOX=1"
      LABELS gui
      TIMEOUT 300)
  endif()
endforeach()
