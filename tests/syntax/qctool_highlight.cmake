# Runs "qctool highlight LANG SRC" and compares its stdout byte for byte with EXPECTED.
execute_process(COMMAND ${QCTOOL} highlight ${LANG} ${SRC} OUTPUT_FILE ${OUT} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "qctool highlight ${LANG} ${SRC} exited with ${status}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT} ${EXPECTED} RESULT_VARIABLE differs)
if(differs)
  message(FATAL_ERROR "qctool highlight ${LANG} ${SRC}: output ${OUT} differs from ${EXPECTED}")
endif()
