# Runs PROGRAM with FAULT and passes only when the run fails and its output
# holds REPORT: a sanitizer that prints but lets the program succeed would
# let a faulty test pass.
execute_process(COMMAND ${PROGRAM} ${FAULT}
  RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
string(FIND "${out}${err}" "${REPORT}" found)
if(result EQUAL 0 OR found EQUAL -1)
  message(FATAL_ERROR "expected a failing run reporting \"${REPORT}\"; "
                      "exit status ${result}, output:\n${out}${err}")
endif()
message(STATUS "${FAULT}: reported and failed (exit status ${result})")
