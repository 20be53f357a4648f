# Fails when the shared libraries PROGRAM loads (as LDD lists them) include a Qt library.
#   cmake -DPROGRAM=... -DLDD=... -P no_qt_libraries.cmake
execute_process(COMMAND ${LDD} ${PROGRAM} OUTPUT_VARIABLE libraries RESULT_VARIABLE failed)
if(failed OR NOT libraries MATCHES "libc\\.so")
  message(FATAL_ERROR "${LDD} could not list the libraries of ${PROGRAM}:\n${libraries}")
endif()
if(libraries MATCHES "libQt")
  message(FATAL_ERROR "${PROGRAM} loads Qt:\n${libraries}")
endif()
message(STATUS "${PROGRAM} loads no Qt library")
