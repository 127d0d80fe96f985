# corvelle_add_test(name SOURCES ... LIBS ...): one GoogleTest executable, its cases registered with CTest.
include(GoogleTest)
function(corvelle_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE corvelle_config ${ARG_LIBS} GTest::gtest GTest::gmock)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES LABELS "${ARG_LABELS}" ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
    DISCOVERY_TIMEOUT 60)
endfunction()

# corvelle_add_test_folder(prefix): every *_test.cpp of the calling folder becomes part of one
# executable per layer: ${prefix}_core (plain GoogleTest main, links only the core) and, for files
# named *_qt_test.cpp, ${prefix}_widgets (a QApplication on the offscreen platform, links the widgets).
function(corvelle_add_test_folder prefix)
  file(GLOB all_tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  set(core_tests "")
  set(widget_tests "")
  foreach(file IN LISTS all_tests)
    if(file MATCHES "_qt_test\\.cpp$")
      list(APPEND widget_tests ${file})
    else()
      list(APPEND core_tests ${file})
    endif()
  endforeach()
  if(core_tests)
    corvelle_add_test(${prefix}_core SOURCES ${core_tests} LIBS corvelle_core corvelle_test_support GTest::gtest_main
                      LABELS core)
  endif()
  if(widget_tests AND NOT CORVELLE_CORE_ONLY)
    corvelle_add_test(${prefix}_widgets SOURCES ${widget_tests} ${PROJECT_SOURCE_DIR}/tests/support/qt_gtest_main.cpp
                      LIBS corvelle_widgets corvelle_test_support Qt6::Test LABELS widgets)
  endif()
endfunction()
