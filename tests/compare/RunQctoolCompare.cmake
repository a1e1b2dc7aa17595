# Runs "qctool compare LATEST HISTORY ARGS" and compares its stdout byte for
# byte with EXPECTED. Variables: QCTOOL, LATEST, HISTORY, EXPECTED, ARGS.
separate_arguments(extra UNIX_COMMAND "${ARGS}")
execute_process(COMMAND ${QCTOOL} compare ${LATEST} ${HISTORY} ${extra}
                OUTPUT_VARIABLE actual RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "qctool compare exited with ${status}")
endif()
file(READ ${EXPECTED} expected)
if(NOT actual STREQUAL expected)
  message(FATAL_ERROR "unexpected lines:\n${actual}\nexpected:\n${expected}")
endif()
