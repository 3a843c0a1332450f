# Project-wide warning set, applied per target with tolvarin_warnings(<target>).
function(tolvarin_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Wno-unused-parameter)
endfunction()
