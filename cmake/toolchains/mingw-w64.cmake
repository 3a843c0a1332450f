# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (posix threads).
#
# The libraries come from the prefix that scripts/deps-windows.sh builds:
#
#   cmake -S . -B build-win -G Ninja \
#     -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64.cmake \
#     -DTOLVARIN_WIN_PREFIX="$(scripts/deps-windows.sh)"
#
# Only that prefix and the mingw-w64 sysroot are searched for libraries,
# headers, packages and pkg-config files, never the build machine's /usr.
# Executables are linked fully static, so they need only system DLLs, and
# run under Wine through CMAKE_CROSSCOMPILING_EMULATOR (set WINEDEBUG=-all
# in the environment to silence it).

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_tolvarin_triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_tolvarin_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_tolvarin_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${_tolvarin_triple}-windres)

set(TOLVARIN_WIN_PREFIX "" CACHE PATH
    "Prefix with the Windows libraries (the path scripts/deps-windows.sh prints)")
if(NOT TOLVARIN_WIN_PREFIX AND DEFINED ENV{TOLVARIN_WIN_PREFIX})
  set(TOLVARIN_WIN_PREFIX "$ENV{TOLVARIN_WIN_PREFIX}" CACHE PATH "" FORCE)
endif()
if(NOT TOLVARIN_WIN_PREFIX OR NOT IS_DIRECTORY "${TOLVARIN_WIN_PREFIX}/lib")
  message(FATAL_ERROR
    "TOLVARIN_WIN_PREFIX ('${TOLVARIN_WIN_PREFIX}') is not a dependency prefix; "
    "pass -DTOLVARIN_WIN_PREFIX=\"$(scripts/deps-windows.sh)\"")
endif()
# try_compile() projects re-read this file; hand them the prefix too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TOLVARIN_WIN_PREFIX)

set(CMAKE_FIND_ROOT_PATH "${TOLVARIN_WIN_PREFIX}" /usr/${_tolvarin_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config: the build machine's pkg-config, reading only the prefix's .pc
# files (whose paths are absolute, hence no sysroot).
set(ENV{PKG_CONFIG_LIBDIR} "${TOLVARIN_WIN_PREFIX}/lib/pkgconfig")
unset(ENV{PKG_CONFIG_PATH})
unset(ENV{PKG_CONFIG_SYSROOT_DIR})

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Debian ships wine64 outside PATH (/usr/lib/wine); look there as well.
find_program(TOLVARIN_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(TOLVARIN_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${TOLVARIN_WINE64}")
endif()
