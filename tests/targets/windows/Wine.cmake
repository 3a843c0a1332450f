# Running the Windows build's tests under Wine: one Wine prefix inside the
# build folder, made once by a set-up test that every other test waits for,
# and the same quiet environment for all of them.
set(TOLVARIN_WINEPREFIX "${CMAKE_BINARY_DIR}/wine")
find_program(TOLVARIN_WINESERVER NAMES wineserver PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH REQUIRED)
# WINEDLLOVERRIDES: no Mono or Gecko installer (they would ask, in a window,
# to download themselves).
set(TOLVARIN_WINE_ENVIRONMENT
    "WINEPREFIX=${TOLVARIN_WINEPREFIX}"
    "WINEDEBUG=-all"
    "WINEDLLOVERRIDES=mscoree,mshtml="
    "TOLVARIN_WINE=${CMAKE_CROSSCOMPILING_EMULATOR}")

add_test(NAME wine.prefix
         COMMAND sh -c "\"$0\" wineboot.exe --init && \"$1\" -w"
                 ${CMAKE_CROSSCOMPILING_EMULATOR} ${TOLVARIN_WINESERVER})
set_tests_properties(wine.prefix PROPERTIES
  ENVIRONMENT "${TOLVARIN_WINE_ENVIRONMENT}" FIXTURES_SETUP wine TIMEOUT 300)

# tolvarin_emulated_test(<test> [NAME=VALUE...]): runs under Wine, after the
# prefix is made, with the shared environment plus the given variables.
function(tolvarin_emulated_test test)
  set_tests_properties(${test} PROPERTIES
    ENVIRONMENT "${TOLVARIN_WINE_ENVIRONMENT};${ARGN}" FIXTURES_REQUIRED wine TIMEOUT 600)
endfunction()
