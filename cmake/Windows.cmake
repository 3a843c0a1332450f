# What the Windows (mingw-w64) build does differently.

# The program's resources (manifest, version information).
enable_language(RC)

# printf and friends from mingw-w64's own C99 implementation instead of
# msvcrt's, which rounds decimal ties (half away from zero) unlike glibc (to
# even): the trace and --frame-hashes print demo times such as 0.5625 s with
# %.3f and %.6f. libstdc++ turns this on for C++ files already; here it is
# said once for every file. (Wine's msvcrt rounds like glibc, so the golden
# runs under Wine cannot tell the two apart.)
add_compile_definitions(__USE_MINGW_ANSI_STDIO=1)

# No link time in the executables' headers, and (release builds) no symbols:
# the same sources give the same tolvarin.exe, and so the same zip. (Stripping
# afterwards would write the time of stripping instead.)
add_link_options(-Wl,--no-insert-timestamp $<$<CONFIG:Release>:-s>)

# SDL's pkg-config flags rename main to SDL_main and link SDL2main, whose
# WinMain converts the command line and calls it. The program keeps its own
# main (src/app/main.cpp): mingw-w64's start-up code calls main for console
# and window programs alike, and the Windows-specific start-up is ours
# (src/targets/windows/).
get_target_property(_sdl_options PkgConfig::SDL2 INTERFACE_COMPILE_OPTIONS)
if(_sdl_options)
  list(REMOVE_ITEM _sdl_options "-Dmain=SDL_main")
  set_property(TARGET PkgConfig::SDL2 PROPERTY INTERFACE_COMPILE_OPTIONS ${_sdl_options})
endif()
set_property(TARGET PkgConfig::SDL2 APPEND PROPERTY INTERFACE_COMPILE_DEFINITIONS SDL_MAIN_HANDLED)
get_target_property(_sdl_libraries PkgConfig::SDL2 INTERFACE_LINK_LIBRARIES)
list(FILTER _sdl_libraries EXCLUDE REGEX "SDL2main")
set_property(TARGET PkgConfig::SDL2 PROPERTY INTERFACE_LINK_LIBRARIES ${_sdl_libraries})

# The zip users download: build-win/tolvarin-windows-x64.zip (the
# tolvarin_zip target; `make windows`).
set(TOLVARIN_WINDOWS_ZIP "${CMAKE_BINARY_DIR}/tolvarin-windows-x64.zip")
add_custom_command(
  OUTPUT "${TOLVARIN_WINDOWS_ZIP}"
  COMMAND ${CMAKE_COMMAND}
          "-DEXE=$<TARGET_FILE:tolvarin>" "-DDATA_DIR=${TOLVARIN_DATA_DIR}"
          "-DREADME=${PROJECT_SOURCE_DIR}/docs/windows/README.txt"
          "-DLICENSES_DIR=${TOLVARIN_WIN_PREFIX}/share/licenses"
          "-DSTAGE=${CMAKE_BINARY_DIR}/zip-stage" "-DZIP=${TOLVARIN_WINDOWS_ZIP}"
          -P "${PROJECT_SOURCE_DIR}/cmake/package-windows-zip.cmake"
  DEPENDS tolvarin tolvarin_data "${PROJECT_SOURCE_DIR}/docs/windows/README.txt"
          "${PROJECT_SOURCE_DIR}/cmake/package-windows-zip.cmake"
  COMMENT "Packing ${TOLVARIN_WINDOWS_ZIP}"
  VERBATIM)
add_custom_target(tolvarin_zip ALL DEPENDS "${TOLVARIN_WINDOWS_ZIP}")
