# The Windows test programs: built with GoogleTest from its source (Debian ships no Windows
# build of it) and run under wine64, each program as one test, in a throwaway Wine prefix of
# the build. Paths handed to them are Wine's view of the build folder.

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# Wine shows the machine's root as drive Z:.
set(PELKAR_TEST_DRIVE "Z:")
set(PELKAR_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix)

# Tests of POSIX behaviour that the Windows tests of the same areas cover the Windows way.
set(PELKAR_PLATFORM_EXCLUDED_TESTS
  ${CMAKE_CURRENT_SOURCE_DIR}/app/AppendFileTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/app/ProfileFileTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/processing/ConsoleRunnerTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/processing/StagesTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/processing/RunActionTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/processing/StageFixture.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/e2e/EditThenRunTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/e2e/FfmpegFrontEndTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/e2e/MediaTools.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/e2e/ProcessingEndToEndTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/e2e/SampleJobTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/e2e/StartupEndToEndTest.cpp)

# Without a display: the headless tests never need one.
function(pelkar_windows_test target)
  add_test(NAME ${target} COMMAND env -u DISPLAY PELKAR_WINE_PREFIX=${PELKAR_WINE_PREFIX}
    ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${target}>)
  set_tests_properties(${target} PROPERTIES TIMEOUT 600)
endfunction()
