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

# Dates are day counts (day 4 = 1 January 1801) and pictures format and read
# them, and numbers, as the runtime's picture module does.
expect_run(0 "72746\n2000\n25-12-2026\n  1,234.50\n82542\n-12.5\n17 MOS\n1\n" "^$"
           "DATE(2, 29, 2000)" "YEAR(DATE(2, 29, 2000))" "FORMAT(DATE(12, 25, 2026), @D6-)"
           "FORMAT(1234.5, @N10.2)" "DEFORMAT('25/12/2026', @D6)"
           "DEFORMAT('(12.50)', @N(10.2))" "AGE(DATE(1, 1, 2000), DATE(6, 1, 2001))"
           "YEAR(TODAY()) >= 2024")
# A picture constant the picture compiler rejects is a parse error.
expect_run(1 "" "column 11 .*invalid picture" "FORMAT(1, @Q5)")
expect_run(1 "" "column 11 .*invalid picture" "FORMAT(1, @N15..2)")

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

# Variables bound from dates and pictured text keep working through pictures.
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/calc_dates.txt
     "d := DATE(2, 29, 2000)\nFORMAT(d + 1, @D10)\nprice := DEFORMAT('$1,234.50', @N$10.2)\n"
     "FORMAT(price * 2, @N$10.2)\n")
execute_process(COMMAND ${CALC} INPUT_FILE ${CMAKE_CURRENT_BINARY_DIR}/calc_dates.txt
                RESULT_VARIABLE code OUTPUT_VARIABLE out)
if(NOT code EQUAL 0 OR NOT out STREQUAL "72746\n2000/03/01\n1234.5\n $2,469.00\n")
  message(FATAL_ERROR "calc dates from standard input: exit ${code}, output [${out}]")
endif()
