# Installation on Linux and the Debian package made from it by CPack.
#
# The layout is fixed relative to the executables, which find their neighbours from where they
# run: pelkar and its tools in bin/, the window module in lib/pelkar/.

set(PELKAR_RELEASE_DATE 2026-12-07)
set(PELKAR_MAN_DATE ${PELKAR_RELEASE_DATE})
set(PELKAR_APP_ID org.example.pelkar)
set(PELKAR_LINUX_DIR ${CMAKE_CURRENT_LIST_DIR}/linux)
set(PELKAR_PACKAGING_OUT ${CMAKE_BINARY_DIR}/packaging)

configure_file(${PELKAR_LINUX_DIR}/${PELKAR_APP_ID}.metainfo.xml.in
               ${PELKAR_PACKAGING_OUT}/${PELKAR_APP_ID}.metainfo.xml @ONLY)
# Manual pages and the changelog are installed compressed, as Debian's policy asks.
find_program(PELKAR_GZIP gzip REQUIRED)
configure_file(${PELKAR_LINUX_DIR}/changelog.in ${PELKAR_PACKAGING_OUT}/changelog @ONLY)
configure_file(${PELKAR_LINUX_DIR}/copyright.in ${PELKAR_PACKAGING_OUT}/copyright @ONLY)
set(PELKAR_COMPRESSED_FILES)
foreach(page pelkar pelkar-ffmpeg pelkar-evtdump pelkar-rtvedit)
  configure_file(${PELKAR_LINUX_DIR}/${page}.1.in ${PELKAR_PACKAGING_OUT}/${page}.1 @ONLY)
endforeach()
foreach(file pelkar.1 pelkar-ffmpeg.1 pelkar-evtdump.1 pelkar-rtvedit.1 changelog)
  add_custom_command(OUTPUT ${PELKAR_PACKAGING_OUT}/${file}.gz
    COMMAND ${PELKAR_GZIP} -9nkf ${PELKAR_PACKAGING_OUT}/${file}
    DEPENDS ${PELKAR_PACKAGING_OUT}/${file}
    VERBATIM)
  list(APPEND PELKAR_COMPRESSED_FILES ${PELKAR_PACKAGING_OUT}/${file}.gz)
endforeach()

# The menu icon in the theme's usual sizes, drawn from the window icon; its pixels are kept
# sharp when it grows.
find_program(PELKAR_IMAGEMAGICK convert REQUIRED)
set(PELKAR_ICON_SOURCE ${CMAKE_SOURCE_DIR}/src/res/PelkarIcon.xpm)
set(PELKAR_ICON_FILES)
foreach(size 16 32 48 64 128 256)
  set(icon ${PELKAR_PACKAGING_OUT}/icons/${size}x${size}/apps/${PELKAR_APP_ID}.png)
  add_custom_command(OUTPUT ${icon}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PELKAR_PACKAGING_OUT}/icons/${size}x${size}/apps
    COMMAND ${PELKAR_IMAGEMAGICK} ${PELKAR_ICON_SOURCE} -filter point -resize ${size}x${size}
            -strip PNG32:${icon}
    DEPENDS ${PELKAR_ICON_SOURCE}
    VERBATIM)
  list(APPEND PELKAR_ICON_FILES ${icon})
endforeach()
add_custom_target(pelkar-packaging-files ALL DEPENDS ${PELKAR_ICON_FILES} ${PELKAR_COMPRESSED_FILES})

install(TARGETS pelkar pelkar-ffmpeg pelkar-evtdump pelkar-rtvedit RUNTIME DESTINATION bin)
if(TARGET pelkar-window)
  install(TARGETS pelkar-window LIBRARY DESTINATION lib/pelkar)
endif()
install(FILES ${PELKAR_LINUX_DIR}/${PELKAR_APP_ID}.desktop DESTINATION share/applications)
install(FILES ${PELKAR_PACKAGING_OUT}/${PELKAR_APP_ID}.metainfo.xml DESTINATION share/metainfo)
install(DIRECTORY ${PELKAR_PACKAGING_OUT}/icons/ DESTINATION share/icons/hicolor)
install(FILES ${PELKAR_PACKAGING_OUT}/pelkar.1.gz ${PELKAR_PACKAGING_OUT}/pelkar-ffmpeg.1.gz
        ${PELKAR_PACKAGING_OUT}/pelkar-evtdump.1.gz ${PELKAR_PACKAGING_OUT}/pelkar-rtvedit.1.gz
        DESTINATION share/man/man1)
install(FILES ${PELKAR_PACKAGING_OUT}/changelog.gz ${PELKAR_PACKAGING_OUT}/copyright
        DESTINATION share/doc/pelkar)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pelkar)
set(CPACK_PACKAGE_VENDOR "The PELKAR developers")
set(CPACK_PACKAGE_CONTACT "The PELKAR developers <pelkar@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "convert downloaded TV recordings with your own actions")
set(CPACK_PACKAGE_HOMEPAGE_URL "http://pelkar.example.org/PELKAR/index.php?app=1")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "ffmpeg, comskip")
# The synopsis comes first on its own; CPack indents these lines below it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "PELKAR is the post-download command of a DVArchive host. After each download
it runs the first of the user's actions whose filter matches the recording: it
converts the recording with FFMPEG to an mp3, or to a small mp4 in one or two
passes, optionally after cutting the commercials out with EVTDump and RTVEdit.
A window edits the actions and the settings.")
include(CPack)
