# Runs "qctool SUBCOMMAND FILE1 FILE2 ARGS" and compares its standard output
# byte for byte with EXPECTED. Variables: QCTOOL, SUBCOMMAND, FILE1, FILE2,
# EXPECTED, ARGS (optional).
separate_arguments(extra UNIX_COMMAND "${ARGS}")
execute_process(COMMAND ${QCTOOL} ${SUBCOMMAND} ${FILE1} ${FILE2} ${extra}
                OUTPUT_VARIABLE actual RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "qctool ${SUBCOMMAND} exited with ${status}")
endif()
file(READ ${EXPECTED} expected)
if(NOT actual STREQUAL expected)
  message(FATAL_ERROR "unexpected output:\n${actual}\nexpected:\n${expected}")
endif()
