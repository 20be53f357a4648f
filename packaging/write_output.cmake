# Runs PROGRAM with ARGUMENT and writes its standard output to OUTPUT; fails when it fails.
#   cmake -DPROGRAM=... -DARGUMENT=... -DOUTPUT=... -P write_output.cmake
get_filename_component(_dir "${OUTPUT}" DIRECTORY)
file(MAKE_DIRECTORY "${_dir}")
execute_process(COMMAND "${PROGRAM}" "${ARGUMENT}" OUTPUT_FILE "${OUTPUT}.part"
                RESULT_VARIABLE _result)
if(NOT _result EQUAL 0)
  file(REMOVE "${OUTPUT}.part")
  message(FATAL_ERROR "${PROGRAM} ${ARGUMENT} failed: ${_result}")
endif()
file(RENAME "${OUTPUT}.part" "${OUTPUT}")
