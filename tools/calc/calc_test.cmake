# Runs the calculator (-DCALC=path) on a few expressions and checks its
# output and exit codes.

function(expect_run expected_code expected_out expected_err)
  execute_process(COMMAND ${CALC} ${ARGN}
                  RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT code EQUAL expected_code)
    message(FATAL_ERROR "calc ${ARGN}: exit code ${code}, expected ${expected_code}")
  endif()
  if(NOT out STREQUAL expected_out)
    message(FATAL_ERROR "calc ${ARGN}: output [${out}], expected [${expected_out}]")
  endif()
  if(NOT err MATCHES "${expected_err}")
    message(FATAL_ERROR "calc ${ARGN}: errors [${err}], expected to match [${expected_err}]")
  endif()
endfunction()

# One line per expression, each class printed as it is.
expect_run(0 "7\n3.5\nab12\n1\n" "^$" "1 + 2 * 3" "7 / 2" "'ab' & 12" "'x' = 'x  '")
expect_run(0 "4\nHELLO\n2\n" "^$" "SQRT(16)" "UPPER('hello')" "INSTRING('b', 'abc')")

# A parse failure names the column and exits with 1; the others still run.
expect_run(1 "3\n" "column 8 .*unexpected text" "(1 + 2))" "1 + 2")
expect_run(1 "" "column 5 .*no BIND on variable nosuch" "1 + nosuch")
expect_run(1 "" "missing closing quote" "'abc")

# Standard input: one expression per line, blank lines skipped, and
# "name := expression" binds a variable for the lines after it.
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/calc_input.txt "x := 6 * 7\n\nx + 1\nname := 'Ann'\nname & '!'\n")
execute_process(COMMAND ${CALC} INPUT_FILE ${CMAKE_CURRENT_BINARY_DIR}/calc_input.txt
                RESULT_VARIABLE code OUTPUT_VARIABLE out)
if(NOT code EQUAL 0 OR NOT out STREQUAL "42\n43\nAnn\nAnn!\n")
  message(FATAL_ERROR "calc from standard input: exit ${code}, output [${out}]")
endif()
