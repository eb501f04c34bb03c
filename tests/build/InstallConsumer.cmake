# Installs the build into a scratch prefix, then configures, builds and runs
# the consumer project against it.
file(REMOVE_RECURSE "${WORK_DIR}")
set(prefix "${WORK_DIR}/prefix")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${OVIRA_BINARY_DIR}" --prefix "${prefix}"
                RESULT_VARIABLE result)
if(result)
  message(FATAL_ERROR "install failed")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -S "${CONSUMER_SOURCE_DIR}" -B "${WORK_DIR}/build"
                        -DCMAKE_PREFIX_PATH=${prefix} RESULT_VARIABLE result)
if(result)
  message(FATAL_ERROR "configuring the consumer failed")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build "${WORK_DIR}/build" RESULT_VARIABLE result)
if(result)
  message(FATAL_ERROR "building the consumer failed")
endif()
execute_process(COMMAND "${WORK_DIR}/build/ovira-consumer" RESULT_VARIABLE result OUTPUT_VARIABLE output)
message("${output}")
if(result)
  message(FATAL_ERROR "the consumer failed")
endif()
