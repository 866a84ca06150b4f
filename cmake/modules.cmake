# The compile options of the project's own targets (not of GoogleTest's).
# Every narrow literal is UTF-8 on disk and code page 936 in the program, the
# encoding all of its texts use. GCC is told GB18030, the superset of GBK that
# gives every GBK character the same bytes, because libstdc++'s <chrono> holds
# a literal (the micro sign) that plain GBK cannot encode.
function(zq_target_options target)
  target_compile_options(${target} PRIVATE -fexec-charset=GB18030 -Wall -Wextra)
  if(ZQ_WARNINGS_AS_ERRORS)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# zq_module(NAME SOURCES ... [WINDOWS ...] [NATIVE ...] [DEPENDS ...] [WINDOWS_LIBS ...])
# One static library a module folder. Platform files are picked here, never by
# #ifdef inside logic files: WINDOWS sources (*_win.cpp) for Windows builds,
# NATIVE sources (*_posix.cpp) for the native build.
function(zq_module name)
  cmake_parse_arguments(ARG "" "" "SOURCES;WINDOWS;NATIVE;DEPENDS;WINDOWS_LIBS" ${ARGN})
  set(sources ${ARG_SOURCES})
  if(WIN32)
    list(APPEND sources ${ARG_WINDOWS})
  else()
    list(APPEND sources ${ARG_NATIVE})
  endif()
  add_library(zq_${name} STATIC ${sources})
  zq_target_options(zq_${name})
  target_include_directories(zq_${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(zq_${name} PUBLIC ${ARG_DEPENDS})
  if(WIN32)
    target_link_libraries(zq_${name} PUBLIC ${ARG_WINDOWS_LIBS})
  endif()
endfunction()

# zq_test(NAME SOURCES ... [WINDOWS ...] [DEPENDS ...])
# One GoogleTest binary; WINDOWS sources are tests of the Windows layer and are
# built (and run under Wine) only in the Windows build.
function(zq_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;WINDOWS;DEPENDS" ${ARGN})
  set(sources ${ARG_SOURCES})
  if(WIN32)
    list(APPEND sources ${ARG_WINDOWS})
  endif()
  add_executable(${name} ${sources})
  zq_target_options(${name})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} GTest::gmock GTest::gtest_main)
  if(WIN32)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
      # Judged by GoogleTest's own summary too: a binary that dies under Wine
      # can leave an exit code of 0.
      PROPERTIES FIXTURES_REQUIRED wine_prefix TIMEOUT 300
        PASS_REGULAR_EXPRESSION "\\[  PASSED  \\] 1 test"
        FAIL_REGULAR_EXPRESSION "\\[  FAILED  \\]")
  else()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES TIMEOUT 120)
  endif()
endfunction()
