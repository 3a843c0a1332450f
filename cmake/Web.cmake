# The WebAssembly build (make web, build-web/), configured with Debian's
# Emscripten toolchain file; the top-level CMakeLists.txt includes this file
# in place of the native dependencies and returns. What it builds from:
#
#   libopenmpt    the static wasm library scripts/deps-web.sh makes from
#                 Debian's source package (TOLVARIN_WEB_OPENMPT: its prefix)
#   CLI11, xxHash header-only, the build machine's own copies (their headers
#                 alone, never the rest of /usr/include)
#   GoogleTest    compiled from /usr/src/googletest
#   the data      made by the native generator (TOLVARIN_NATIVE_BUILD/data),
#                 copied to build-web/data
#
# No SDL, no libpng, no FreeType and no threads. The libraries under src/ are
# the native ones; web/CMakeLists.txt links the program's two outputs and
# tests/ adds what runs under node.
#
# A missing piece stops the configuration with one message starting
# "make web:" (scripts/build-web.sh prints that line alone).

option(TOLVARIN_WASM_SIMD "wasm SIMD (-msimd128) with Emscripten's SSE2 headers: the SSE2 kernels become the fast path" ON)
set(TOLVARIN_WEB_OPENMPT "$ENV{TOLVARIN_WEB_OPENMPT}" CACHE PATH
    "libopenmpt for WebAssembly: the prefix scripts/deps-web.sh prints")
set(TOLVARIN_NATIVE_BUILD "${PROJECT_SOURCE_DIR}/build" CACHE PATH
    "The native build: its generator made the data, its program is what the web tests compare with")

function(tolvarin_web_missing text)
  message(FATAL_ERROR "make web: ${text}")
endfunction()

# --- Compiler and linker -----------------------------------------------------

# libopenmpt and CLI11 throw. Emscripten's JavaScript-based exceptions are the
# kind that also work with ASYNCIFY (the page output).
add_compile_options(-fexceptions)
add_link_options(-fexceptions)
if(TOLVARIN_WASM_SIMD)
  # __SSE2__ gets defined, so the SSE2 kernel family compiles, to wasm SIMD.
  add_compile_options(-msimd128 -msse2)
endif()
# Emscripten's JavaScript optimiser needs Debian's acorn.
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)

find_program(TOLVARIN_NODE_EXECUTABLE NAMES node nodejs)
if(NOT TOLVARIN_NODE_EXECUTABLE)
  tolvarin_web_missing("node not found (Debian package nodejs; scripts/deps-web.sh installs it)")
endif()
# How the tests start a linked program: node with fetch() off, which
# Emscripten's loader would otherwise take for a browser's when compiling
# asynchronously (the page output does).
set(TOLVARIN_NODE ${TOLVARIN_NODE_EXECUTABLE} --no-experimental-fetch)
set(CMAKE_CROSSCOMPILING_EMULATOR ${TOLVARIN_NODE})

# Link options of a program run under node (the program's node output and
# every test): files through the machine's real file system, node's
# environment for getenv(), a synchronous start, and main's exit code as
# node's.
function(tolvarin_node_program target)
  target_link_options(${target} PRIVATE
    -sNODERAWFS=1 -sENVIRONMENT=node -sWASM_ASYNC_COMPILATION=0 -sEXIT_RUNTIME=1
    -sALLOW_MEMORY_GROWTH=1 "SHELL:--pre-js ${PROJECT_SOURCE_DIR}/web/environment.js")
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${PROJECT_SOURCE_DIR}/web/environment.js)
endfunction()

# --- Libraries ---------------------------------------------------------------

if(NOT EXISTS "${TOLVARIN_WEB_OPENMPT}/lib/libopenmpt.a"
   OR NOT EXISTS "${TOLVARIN_WEB_OPENMPT}/include/libopenmpt/libopenmpt.hpp")
  tolvarin_web_missing("libopenmpt for WebAssembly not found in '${TOLVARIN_WEB_OPENMPT}' (run scripts/deps-web.sh and pass the folder it prints as -DTOLVARIN_WEB_OPENMPT=...)")
endif()
# Under the name the native build's pkg-config gives it, so src/platform links
# it the same way.
add_library(PkgConfig::OPENMPT INTERFACE IMPORTED)
set_target_properties(PkgConfig::OPENMPT PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES "${TOLVARIN_WEB_OPENMPT}/include"
  INTERFACE_LINK_LIBRARIES "${TOLVARIN_WEB_OPENMPT}/lib/libopenmpt.a")

# Header-only libraries of the build machine, each through a folder holding
# nothing but a link to it: -I/usr/include would put glibc's headers in front
# of Emscripten's C library.
set(_host_headers "${CMAKE_BINARY_DIR}/host-headers")
file(MAKE_DIRECTORY "${_host_headers}")
foreach(entry "CLI11:CLI/CLI.hpp:CLI" "xxHash:xxhash.h:xxhash.h")
  string(REPLACE ":" ";" entry "${entry}")
  list(GET entry 0 package)
  list(GET entry 1 header)
  list(GET entry 2 link)
  find_path(_dir_${package} ${header} PATHS /usr/include NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  if(NOT _dir_${package})
    tolvarin_web_missing("${package} headers not found (/usr/include/${header}; scripts/install-deps.sh installs them)")
  endif()
  file(CREATE_LINK "${_dir_${package}}/${link}" "${_host_headers}/${link}" SYMBOLIC)
endforeach()
add_library(CLI11::CLI11 INTERFACE IMPORTED)
target_include_directories(CLI11::CLI11 SYSTEM INTERFACE "${_host_headers}")
add_library(tolvarin_xxhash INTERFACE)
target_include_directories(tolvarin_xxhash SYSTEM INTERFACE "${_host_headers}")

# No threads on the web (a node process with them never exits by itself, and
# a page needs cross-origin isolation): nothing run here starts one.
add_library(Threads::Threads INTERFACE IMPORTED)

# --- Data --------------------------------------------------------------------

# The native generator's files, copied next to the outputs; the page output
# packs them at /data of its own file system, the data folder it looks in
# when no other has them (data_files.cpp).
set(TOLVARIN_DATA_DIR "${CMAKE_BINARY_DIR}/data")
set(TOLVARIN_INSTALL_DATA_DIR "/data")
set(_native_stamp "${TOLVARIN_NATIVE_BUILD}/data.stamp")
if(NOT EXISTS "${_native_stamp}")
  tolvarin_web_missing("no generated data in ${TOLVARIN_NATIVE_BUILD} (the native generator makes it: cmake --build build --target tolvarin_data)")
endif()
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/data.stamp
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${TOLVARIN_DATA_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${TOLVARIN_NATIVE_BUILD}/data ${TOLVARIN_DATA_DIR}
  COMMAND ${CMAKE_COMMAND} -E touch ${CMAKE_BINARY_DIR}/data.stamp
  DEPENDS ${_native_stamp}
  COMMENT "Copying the generated data from ${TOLVARIN_NATIVE_BUILD}/data"
  VERBATIM)
add_custom_target(tolvarin_data ALL DEPENDS ${CMAKE_BINARY_DIR}/data.stamp)

# --- The build ---------------------------------------------------------------

add_subdirectory(src)
add_subdirectory(web)

# The benchmarks, beside the native ones (scripts/bench-web.sh): Google
# Benchmark compiled from its Debian source package, unpacked where
# TOLVARIN_WEB_BENCHMARK_SOURCE says. Built only when asked for.
set(TOLVARIN_WEB_BENCHMARK_SOURCE "" CACHE PATH "Google Benchmark's unpacked source (scripts/bench-web.sh fetches it)")
if(TOLVARIN_WEB_BENCHMARK_SOURCE)
  if(NOT EXISTS "${TOLVARIN_WEB_BENCHMARK_SOURCE}/include/benchmark/benchmark.h")
    tolvarin_web_missing("Google Benchmark's source not found in '${TOLVARIN_WEB_BENCHMARK_SOURCE}'")
  endif()
  foreach(setting BENCHMARK_ENABLE_TESTING BENCHMARK_ENABLE_INSTALL BENCHMARK_ENABLE_WERROR
                  BENCHMARK_ENABLE_GTEST_TESTS BENCHMARK_INSTALL_DOCS)
    set(${setting} OFF CACHE BOOL "" FORCE)
  endforeach()
  # Debian's patches drop the version taken from git; "0.0.0" makes it take
  # the project's own.
  set(GIT_VERSION "0.0.0")
  add_subdirectory(${TOLVARIN_WEB_BENCHMARK_SOURCE} ${CMAKE_BINARY_DIR}/benchmark EXCLUDE_FROM_ALL SYSTEM)
  add_subdirectory(bench)
  set_target_properties(tolvarin-bench PROPERTIES EXCLUDE_FROM_ALL ON)
  tolvarin_node_program(tolvarin-bench)
endif()

if(TOLVARIN_BUILD_TESTS)
  if(NOT EXISTS /usr/src/googletest/CMakeLists.txt)
    tolvarin_web_missing("GoogleTest sources not found in /usr/src/googletest (Debian package googletest)")
  endif()
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  # The tests' picture writer. The other writers of tools/formats are the
  # generator's (it stays native) and need floating-point std::to_chars,
  # which Emscripten's libc++ 14 lacks.
  add_library(tolvarin_formats STATIC tools/formats/g_writer.cpp)
  target_include_directories(tolvarin_formats PUBLIC ${PROJECT_SOURCE_DIR}/tools)
  tolvarin_warnings(tolvarin_formats)
  enable_testing()
  add_subdirectory(tests)
endif()
