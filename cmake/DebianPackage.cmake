# What `cpack -G DEB` (make package) puts in the Debian package beside the
# program and its data, and the package's control fields: the man page and
# the changelog compressed as Debian wants them, the copyright file, the
# menu entry and the AppStream metadata.
set(_pkg ${PROJECT_SOURCE_DIR}/packaging/linux)
set(_doc ${CMAKE_INSTALL_DATADIR}/doc/tolvarin)

# gzip -9n: the best compression and no time stamp, so two builds make the same file.
function(tolvarin_gzip source output)
  add_custom_command(
    OUTPUT ${output}
    COMMAND sh -c "gzip -9n -c \"$0\" > \"$1\"" ${source} ${output}
    DEPENDS ${source}
    VERBATIM)
endfunction()
tolvarin_gzip(${PROJECT_SOURCE_DIR}/docs/tolvarin.6 ${CMAKE_BINARY_DIR}/tolvarin.6.gz)
tolvarin_gzip(${_pkg}/changelog ${CMAKE_BINARY_DIR}/changelog.gz)
add_custom_target(tolvarin_package_files ALL
  DEPENDS ${CMAKE_BINARY_DIR}/tolvarin.6.gz ${CMAKE_BINARY_DIR}/changelog.gz)

install(FILES ${CMAKE_BINARY_DIR}/tolvarin.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${CMAKE_BINARY_DIR}/changelog.gz ${_pkg}/copyright DESTINATION ${_doc})
install(FILES ${_pkg}/org.quarnel.Tolvarin.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_pkg}/org.quarnel.Tolvarin.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The menu entry's icon, in the icon theme's sizes.
foreach(size 32 48 64 128 256 512)
  install(FILES ${TOLVARIN_ICON_DIR}/tolvarin-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME tolvarin.png)
endforeach()

set(CPACK_PACKAGE_NAME tolvarin)
set(CPACK_PACKAGE_VENDOR "Quarnel")
set(CPACK_PACKAGE_CONTACT "Quarnel <tolvarin@quarnel.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time audiovisual demo with tracker music")
set(CPACK_PACKAGE_DESCRIPTION
    "Every pixel of this demo is computed on the processor into 320x240 frames, and
its scenes change in time with a tracker module: a bump-lit logo, light
sweeps, a rotating zoom, a colour-cycling dialogue, a flat-shaded 3D scene, a
panning picture with text, a textured tunnel with greetings and a closing
picture. It plays in a window, or renders itself to a video file.
.
Warning: it contains flashing images; the --calm option keeps to three
flashes in any second.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://quarnel.invalid/tolvarin")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS ffmpeg)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Directories owned by root, files 0644 and programs 0755, whatever the umask.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
