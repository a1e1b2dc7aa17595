# Runs "qctool diff" on two files and compares its output with a file of
# expected rows. Variables: QCTOOL, TEXT1, TEXT2, EXPECTED, ARGS (optional).
separate_arguments(extra UNIX_COMMAND "${ARGS}")
execute_process(COMMAND ${QCTOOL} diff ${TEXT1} ${TEXT2} ${extra}
                OUTPUT_VARIABLE actual RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "qctool diff exited with ${status}")
endif()
file(READ ${EXPECTED} expected)
if(NOT actual STREQUAL expected)
  message(FATAL_ERROR "unexpected rows:\n${actual}\nexpected:\n${expected}")
endif()
