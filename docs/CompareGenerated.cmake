# Regenerates the instruction reference and fails, naming the command that fixes it, when the
# committed page differs.
execute_process(COMMAND ${GENERATOR} ${OUTPUT} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the generator failed with status ${status}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUTPUT} ${COMMITTED} RESULT_VARIABLE differs)
if(NOT differs EQUAL 0)
  message(FATAL_ERROR "${COMMITTED} no longer matches the instruction set. Regenerate it with\n"
                      "  ${GENERATOR} ${COMMITTED}\n"
                      "and review the change (git diff docs/reference/instructions.md).")
endif()
