# Writes chapters.js, the page's timeline: where each scene begins in the
# demo at 60 fps, and the demo's length, read from a trace of the whole
# demo (the pinned one, tests/golden/trace-60.jsonl).
#   cmake -DTRACE=... -DOUT=... -P chapters.cmake
file(STRINGS "${TRACE}" lines)
set(chapters "")
set(length 0)
foreach(line IN LISTS lines)
  if(line MATCHES "^\\{\"t\":([0-9.]+),")
    set(length "${CMAKE_MATCH_1}")
  endif()
  # A scene's begin (a phase's name has a dot).
  if(line MATCHES "^\\{\"t\":([0-9.]+),.*\"event\":\"begin\",\"scene\":\"([A-Za-z0-9]+)\"\\}$")
    string(APPEND chapters "  { name: '${CMAKE_MATCH_2}', t: ${CMAKE_MATCH_1} },\n")
  endif()
endforeach()
if(chapters STREQUAL "")
  message(FATAL_ERROR "no scene begins in ${TRACE}")
endif()
file(WRITE "${OUT}" "// Made by chapters.cmake from a trace of the whole demo: where each scene\n"
                    "// begins (seconds of demo time at 60 fps), and the demo's length.\n"
                    "export const CHAPTERS = Object.freeze([\n${chapters}]);\n"
                    "export const LENGTH = ${length};\n")
