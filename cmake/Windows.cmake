# Windows builds (MinGW-w64): everything links statically, so the programs import only the
# system's own DLLs and run from any folder, under Wine as on Windows.
add_compile_definitions(WINVER=0x0601 _WIN32_WINNT=0x0601 NOMINMAX WIN32_LEAN_AND_MEAN)
add_link_options(-static -static-libgcc -static-libstdc++)
# On 32-bit Windows the x87 unit rounds to a double's 53 bits, as Windows sets it for its own
# programs: MinGW's startup would leave it at 64, and a duration times the frame rate
# (1800 s x 29.97) would then truncate to one frame fewer than on every other build.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  add_link_options(/usr/${PELKAR_MINGW_TRIPLE}/lib/CRT_fp8.o)
endif()

set(PELKAR_WINDOWS_LIBRARIES comctl32 comdlg32 shell32 ole32 gdi32 user32)

find_program(PELKAR_IMAGEMAGICK_CONVERT convert REQUIRED)

# PELKAR.EXE: a program of the window subsystem, with its icon, version record and manifest.
function(pelkar_windows_program target)
  set(icon ${CMAKE_BINARY_DIR}/PELKAR.ico)
  set(xpm ${CMAKE_SOURCE_DIR}/src/res/PelkarIcon.xpm)
  add_custom_command(OUTPUT ${icon}
    COMMAND ${PELKAR_IMAGEMAGICK_CONVERT} ${xpm} -define icon:auto-resize=32,16 ${icon}
    DEPENDS ${xpm} COMMENT "Making PELKAR.ico from PelkarIcon.xpm")
  set(PELKAR_VERSION_COMMAS
      "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0")
  set(PELKAR_VERSION_RECORD
      "${PROJECT_VERSION_MAJOR}, ${PROJECT_VERSION_MINOR}, ${PROJECT_VERSION_PATCH}, 0")
  set(rc ${CMAKE_BINARY_DIR}/PELKAR.rc)
  configure_file(${CMAKE_SOURCE_DIR}/src/res/PELKAR.rc.in ${rc} @ONLY)
  configure_file(${CMAKE_SOURCE_DIR}/src/res/PELKAR.manifest.in ${CMAKE_BINARY_DIR}/PELKAR.manifest
                 @ONLY)
  set_source_files_properties(${rc} PROPERTIES
    OBJECT_DEPENDS "${icon};${CMAKE_BINARY_DIR}/PELKAR.manifest")
  target_sources(${target} PRIVATE ${rc} ${icon})
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR}/src/res ${CMAKE_BINARY_DIR})
  set_target_properties(${target} PROPERTIES
    OUTPUT_NAME PELKAR SUFFIX .EXE WIN32_EXECUTABLE ON ENABLE_EXPORTS OFF)
endfunction()

# A release build carries no symbols.
add_link_options($<$<CONFIG:Release>:-s>)

# The release zip: PELKAR.EXE, the FFMPEG front end and the stripping tools when they are
# built, and the read-me.
function(pelkar_windows_release)
  set(zip ${CMAKE_BINARY_DIR}/PELKAR-${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}-win-${CMAKE_SYSTEM_PROCESSOR}.zip)
  set(programs $<TARGET_FILE:pelkar>)
  set(depends pelkar)
  foreach(tool pelkar-ffmpeg pelkar-evtdump pelkar-rtvedit)
    if(TARGET ${tool})
      list(APPEND programs $<TARGET_FILE:${tool}>)
      list(APPEND depends ${tool})
    endif()
  endforeach()
  add_custom_command(OUTPUT ${zip}
    COMMAND ${CMAKE_COMMAND} -DZIP=${zip} "-DPROGRAMS=${programs}"
            -DREADME=${CMAKE_SOURCE_DIR}/docs/ReadMe-Windows.txt
            -DSTAGING=${CMAKE_BINARY_DIR}/release -P ${CMAKE_SOURCE_DIR}/cmake/MakeReleaseZip.cmake
    DEPENDS ${depends} ${CMAKE_SOURCE_DIR}/docs/ReadMe-Windows.txt
            ${CMAKE_SOURCE_DIR}/cmake/MakeReleaseZip.cmake
    COMMENT "Making the release zip" VERBATIM)
  add_custom_target(release_zip DEPENDS ${zip})
endfunction()
