# Makes the Windows zip (cmake -P, run by the tolvarin_zip target):
#   tolvarin/tolvarin.exe       (a release build's is linked without symbols)
#   tolvarin/README.txt         CR LF line ends, for every Windows editor
#   tolvarin/data/              the generated data files
#   tolvarin/licenses/<name>/   the licence texts of what is linked in
# Inputs: EXE DATA_DIR README LICENSES_DIR STAGE ZIP.
foreach(var EXE DATA_DIR README LICENSES_DIR STAGE ZIP)
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

file(COPY "${EXE}" DESTINATION "${root}")

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

# Files in sorted order with fixed modification dates: the same build gives
# the same listing and contents (libarchive still records access and change
# times in its extra fields).
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
