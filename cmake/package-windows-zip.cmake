# Makes the Windows zip (cmake -P, run by the tolvarin_zip target):
#   tolvarin/tolvarin.exe       stripped
#   tolvarin/README.txt         CR LF line ends, for every Windows editor
#   tolvarin/data/              the generated data files
#   tolvarin/licenses/<name>/   the licence texts of what is linked in
# Inputs: EXE STRIP DATA_DIR README LICENSES_DIR STAGE ZIP.
foreach(var EXE STRIP DATA_DIR README LICENSES_DIR STAGE ZIP)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "package-windows-zip: ${var} is not set")
  endif()
endforeach()
if(NOT IS_DIRECTORY "${LICENSES_DIR}")
  message(FATAL_ERROR "No licence texts in ${LICENSES_DIR}: rebuild the prefix with scripts/deps-windows.sh")
endif()

set(root "${STAGE}/tolvarin")
file(REMOVE_RECURSE "${STAGE}")
file(MAKE_DIRECTORY "${root}/data")

execute_process(COMMAND "${STRIP}" -o "${root}/tolvarin.exe" "${EXE}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "stripping ${EXE} failed")
endif()

file(GLOB data_files "${DATA_DIR}/*")
list(LENGTH data_files count)
if(count EQUAL 0)
  message(FATAL_ERROR "No data files in ${DATA_DIR}")
endif()
file(COPY ${data_files} DESTINATION "${root}/data")
file(COPY "${LICENSES_DIR}/" DESTINATION "${root}/licenses")

file(READ "${README}" text)
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE "${root}/README.txt" "${text}")

# Files in sorted order with fixed dates, so the same inputs give the same zip.
file(GLOB_RECURSE entries RELATIVE "${STAGE}" "${root}/*")
list(SORT entries)
file(REMOVE "${ZIP}")
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf "${ZIP}" --format=zip "--mtime=2000-01-01 00:00:00 UTC" ${entries}
                WORKING_DIRECTORY "${STAGE}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "making ${ZIP} failed")
endif()
file(SIZE "${ZIP}" size)
message(STATUS "${ZIP}: ${size} bytes")
