# Running an arm64 cross build's tests under qemu-user (included by
# tests/CMakeLists.txt): each test executable is one CTest test, run once
# with all its cases through CMAKE_CROSSCOMPILING_EMULATOR (qemu with the
# arm64 library folder as its prefix, cmake/toolchains/aarch64-linux-gnu.cmake).
# Nothing needs setting up first, unlike Wine's prefix.

# tolvarin_emulated_test(<test> [NAME=VALUE...]): runs under qemu with the
# given variables. Under emulation the golden runs of the whole demo take
# minutes, hence the long timeout.
function(tolvarin_emulated_test test)
  set_tests_properties(${test} PROPERTIES ENVIRONMENT "${ARGN}" TIMEOUT 1500)
endfunction()
