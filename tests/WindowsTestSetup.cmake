# The Windows test programs: built with GoogleTest from its source (Debian ships no Windows
# build of it) and run under Wine (32-bit programs by its 32-bit loader), each program as one
# test, in a throwaway Wine prefix of the build. Paths handed to them are Wine's view of the
# build folder.

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# Wine shows the machine's root as drive Z:.
set(PELKAR_TEST_DRIVE "Z:")
set(PELKAR_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix)

# The version record is read through the system's own calls.
set(PELKAR_TEST_LIBRARIES version)

# Tests of POSIX behaviour that the Windows tests of the same areas cover the Windows way: the
# runner's and the stages' tests with shell scripts for tools, and the end-to-end tests of the
# Linux program (the Windows ones run PELKAR.EXE itself).
file(GLOB PELKAR_POSIX_END_TO_END_TESTS CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/e2e/*.cpp)
list(FILTER PELKAR_POSIX_END_TO_END_TESTS EXCLUDE REGEX "Win32[A-Za-z]*\\.cpp$")
set(PELKAR_PLATFORM_EXCLUDED_TESTS
  ${CMAKE_CURRENT_SOURCE_DIR}/app/AppendFileTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/app/ProfileFileTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/processing/ConsoleRunnerTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/processing/StagesTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/processing/RunActionTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/processing/StageFixture.cpp
  ${PELKAR_POSIX_END_TO_END_TESTS})

# The shipped PELKAR.EXE of the 32-bit build, whose version record and imports the tests of
# another build read as well; the 32-bit build's tests run the shipped program itself.
set(PELKAR_SHIPPED_EXE "" CACHE FILEPATH "The 32-bit PELKAR.EXE that the tests examine")
set(PELKAR_SHIPPED_EXE_ENVIRONMENT "")
if(PELKAR_SHIPPED_EXE)
  set(PELKAR_SHIPPED_EXE_ENVIRONMENT PELKAR_SHIPPED_EXE=${PELKAR_TEST_DRIVE}${PELKAR_SHIPPED_EXE})
endif()

# Without a display: the headless tests never need one.
function(pelkar_windows_test target)
  add_test(NAME ${target} COMMAND env -u DISPLAY PELKAR_WINE_PREFIX=${PELKAR_WINE_PREFIX}
    ${PELKAR_SHIPPED_EXE_ENVIRONMENT} ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${target}>)
  set_tests_properties(${target} PROPERTIES TIMEOUT 300)
endfunction()

# The native dialogs, on a virtual display of their own; the screenshots of the four dialogs
# are left in PELKAR_SCREENSHOT_DIR.
set(PELKAR_SCREENSHOT_DIR ${CMAKE_BINARY_DIR}/screenshots CACHE PATH
  "Where the test of the native dialogs leaves its screenshots")
find_program(XVFB_RUN xvfb-run REQUIRED)
file(GLOB win32ui_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/win32ui/*.cpp)
add_executable(test_win32ui ${win32ui_sources})
target_include_directories(test_win32ui PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/win32ui)
target_link_libraries(test_win32ui PRIVATE pelkar_test_support GTest::gtest_main)
# Some of its tests start PELKAR.EXE itself, as from the desktop.
add_dependencies(test_win32ui pelkar)
add_test(NAME test_win32ui COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/win32ui/run-on-display.sh
  ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:test_win32ui> ${PELKAR_SCREENSHOT_DIR})
# A prefix of its own: Wine's desktop, which its first program starts, keeps the display that
# program had, and the headless tests have none.
set_tests_properties(test_win32ui PROPERTIES TIMEOUT 600
  ENVIRONMENT PELKAR_WINE_PREFIX=${CMAKE_BINARY_DIR}/wine-prefix-display)
