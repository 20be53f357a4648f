# Fails when the shared libraries PROGRAM loads (as LDD lists them) include a Qt library. A
# program linked statically loads no shared library at all, Qt included.
#   cmake -DPROGRAM=... -DLDD=... -P no_qt_libraries.cmake
execute_process(COMMAND ${LDD} ${PROGRAM} OUTPUT_VARIABLE libraries ERROR_VARIABLE errors
                RESULT_VARIABLE failed)
if("${libraries}${errors}" MATCHES "not a dynamic executable")
  execute_process(COMMAND file ${PROGRAM} OUTPUT_VARIABLE kind RESULT_VARIABLE no_file)
  if(NOT no_file AND NOT kind MATCHES "statically linked")
    message(FATAL_ERROR "${PROGRAM} is neither dynamic nor statically linked:\n${kind}")
  endif()
  message(STATUS "${PROGRAM} is linked statically and loads no shared library")
  return()
endif()
if(failed OR NOT libraries MATCHES "libc\\.so")
  message(FATAL_ERROR "${LDD} could not list the libraries of ${PROGRAM}:\n${libraries}")
endif()
if(libraries MATCHES "libQt")
  message(FATAL_ERROR "${PROGRAM} loads Qt:\n${libraries}")
endif()
message(STATUS "${PROGRAM} loads no Qt library")
