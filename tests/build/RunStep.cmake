# run(<what> <command...>): runs a command of a test script; on failure the
# script stops with <what>, the exit status and everything the command
# printed. Its standard output is left in `output`.
function(run what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
  if(result)
    message(FATAL_ERROR "${what} failed (${result}):\n${output}${errors}")
  endif()
  set(output "${output}" PARENT_SCOPE)
endfunction()
