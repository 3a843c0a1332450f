# Cross-compiles for 64-bit ARM Linux (arm64) with Debian's cross compiler
# (g++-aarch64-linux-gnu); the tests run under qemu-user.
#
# The arm64 libraries come from the folder scripts/deps-arm64.sh unpacks
# Debian's arm64 packages into:
#
#   cmake -S . -B build-arm64 -G Ninja \
#     -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/aarch64-linux-gnu.cmake \
#     -DTOLVARIN_ARM64_SYSROOT="$(scripts/deps-arm64.sh)"
#
# The C library and libstdc++ to link against are the cross compiler's own
# (/usr/aarch64-linux-gnu); everything else is searched in that folder only,
# never in the build machine's /usr. The same folder is qemu's library prefix
# when a test runs: it holds arm64's loader and every library the program
# loads.

set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)

set(_tolvarin_triple aarch64-linux-gnu)
set(CMAKE_C_COMPILER ${_tolvarin_triple}-gcc)
set(CMAKE_CXX_COMPILER ${_tolvarin_triple}-g++)

set(TOLVARIN_ARM64_SYSROOT "" CACHE PATH
    "Folder with the arm64 libraries (the path scripts/deps-arm64.sh prints)")
if(NOT TOLVARIN_ARM64_SYSROOT AND DEFINED ENV{TOLVARIN_ARM64_SYSROOT})
  set(TOLVARIN_ARM64_SYSROOT "$ENV{TOLVARIN_ARM64_SYSROOT}" CACHE PATH "" FORCE)
endif()
if(NOT TOLVARIN_ARM64_SYSROOT OR NOT EXISTS "${TOLVARIN_ARM64_SYSROOT}/packages.txt")
  message(FATAL_ERROR
    "TOLVARIN_ARM64_SYSROOT ('${TOLVARIN_ARM64_SYSROOT}') is not an arm64 library folder; "
    "pass -DTOLVARIN_ARM64_SYSROOT=\"$(scripts/deps-arm64.sh)\"")
endif()
# try_compile() projects re-read this file; hand them the folder too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TOLVARIN_ARM64_SYSROOT)

# No contraction of a * b + c into fused multiply-adds: GCC does it by default
# on arm64, where FMA is part of the base instruction set, and a fused result
# is rounded once instead of twice. The frames, the trace and the sound are
# defined by separately rounded operations (what x86-64 computes, having no
# FMA in its baseline), so the whole arm64 build keeps them separate.
set(CMAKE_C_FLAGS_INIT "-ffp-contract=off")
set(CMAKE_CXX_FLAGS_INIT "-ffp-contract=off")

set(CMAKE_FIND_ROOT_PATH "${TOLVARIN_ARM64_SYSROOT}" /usr/${_tolvarin_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config: the build machine's pkg-config reading the folder's arm64 .pc
# files, their /usr paths moved into the folder.
set(ENV{PKG_CONFIG_LIBDIR}
    "${TOLVARIN_ARM64_SYSROOT}/usr/lib/${_tolvarin_triple}/pkgconfig:${TOLVARIN_ARM64_SYSROOT}/usr/share/pkgconfig")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "${TOLVARIN_ARM64_SYSROOT}")
unset(ENV{PKG_CONFIG_PATH})

# Debian's arm64 headers that differ between architectures (SDL2's
# configuration, for one) are in the multiarch include folder, which the
# native compiler searches by itself.
set(CMAKE_C_STANDARD_INCLUDE_DIRECTORIES "${TOLVARIN_ARM64_SYSROOT}/usr/include/${_tolvarin_triple}")
set(CMAKE_CXX_STANDARD_INCLUDE_DIRECTORIES "${TOLVARIN_ARM64_SYSROOT}/usr/include/${_tolvarin_triple}")

# The shared libraries' own dependencies (SDL2's X11, Wayland, PulseAudio
# and ALSA libraries, and PulseAudio's private one) are found in the folder
# when linking.
set(_tolvarin_libdirs
    "${TOLVARIN_ARM64_SYSROOT}/usr/lib/${_tolvarin_triple}"
    "${TOLVARIN_ARM64_SYSROOT}/lib/${_tolvarin_triple}"
    "${TOLVARIN_ARM64_SYSROOT}/usr/lib/${_tolvarin_triple}/pulseaudio")
list(JOIN _tolvarin_libdirs ":" _tolvarin_libdirs)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-Wl,-rpath-link,${_tolvarin_libdirs}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${CMAKE_EXE_LINKER_FLAGS_INIT}")

# Programs and tests run under qemu-user, loading arm64's libraries from the folder.
find_program(TOLVARIN_QEMU_AARCH64 NAMES qemu-aarch64-static qemu-aarch64 NO_CMAKE_FIND_ROOT_PATH)
if(TOLVARIN_QEMU_AARCH64)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${TOLVARIN_QEMU_AARCH64};-L;${TOLVARIN_ARM64_SYSROOT}")
endif()

# The Debian package: arm64, and its dependencies named here, since
# dpkg-shlibdeps knows only installed packages and these are merely unpacked.
set(CPACK_PROJECT_CONFIG_FILE "${CMAKE_CURRENT_LIST_DIR}/../cpack-arm64.cmake")
set(CPACK_TOLVARIN_ARM64_SYSROOT "${TOLVARIN_ARM64_SYSROOT}")
