# CPack settings of the arm64 cross build (CPACK_PROJECT_CONFIG_FILE, named by
# cmake/toolchains/aarch64-linux-gnu.cmake), read when cpack runs.
#
# The package is for arm64 whatever the build machine is, and dpkg-shlibdeps
# cannot work out its dependencies: the arm64 libraries were unpacked, not
# installed, so dpkg does not know them. The packages the program links
# directly are named instead, at least at the versions it was built against
# (scripts/deps-arm64.sh lists them in packages.txt), by upstream version.
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE arm64)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
file(STRINGS "${CPACK_TOLVARIN_ARM64_SYSROOT}/packages.txt" _tolvarin_packages)
set(_tolvarin_depends)
foreach(_pkg libc6 libgcc-s1 libstdc++6 libsdl2-2.0-0 libopenmpt0 libpng16-16)
  set(_version)
  foreach(_line IN LISTS _tolvarin_packages)
    string(FIND "${_line}" "${_pkg}:arm64=" _at)
    if(_at EQUAL 0)
      string(REGEX REPLACE "^[^=]*=" "" _version "${_line}")
    endif()
  endforeach()
  if(NOT _version)
    message(FATAL_ERROR "${_pkg} is not in ${CPACK_TOLVARIN_ARM64_SYSROOT}/packages.txt")
  endif()
  # The upstream version (no epoch, no Debian revision): what the program
  # needs, not the security update this build happened to be made with.
  string(REGEX REPLACE "^[0-9]+:" "" _version "${_version}")
  string(REGEX REPLACE "-[^-]*$" "" _version "${_version}")
  list(APPEND _tolvarin_depends "${_pkg} (>= ${_version})")
endforeach()
list(JOIN _tolvarin_depends ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
