# Files written by the Windows build and by the native build from the same
# operations are the same bytes: both velocore programs load the same
# generated table (several hundred records with memos and BLOBs, so pages
# split and move between size classes), plain and encrypted, and the files
# are compared byte for byte.
#   -DNATIVE=native velocore   -DWINDOWS=Windows velocore   -DEMULATOR=wine wrapper
#   -DWORK=scratch directory   -DDATA=testdata

if(NOT EXISTS ${NATIVE})
  message(FATAL_ERROR "no native velocore at ${NATIVE}: build the native preset first")
endif()
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

# The rows: ids, names with repeats (runs for the coder), amounts, days,
# codes left empty now and then (the OPT-free keys still index them), notes
# of growing length and small BLOBs.
set(rows "P:ID,P:NAME,P:AMOUNT,P:DAY,P:CODE,P:NOTES,P:PIC\n")
foreach(i RANGE 1 700)
  math(EXPR amount "(${i} * 7919) % 100000 - 50000")
  math(EXPR day "70000 + ${i} * 13")
  math(EXPR code "${i} % 5")
  math(EXPR len "${i} % 90")
  string(REPEAT "n" ${len} note)
  math(EXPR pic "${i} % 10")
  set(rows "${rows}${i},name${code}${code}${code}${code} ${i},${amount}.25,${day},C${code},${note},0a0b0${pic}\n")
endforeach()
file(WRITE ${WORK}/rows.csv "${rows}")

foreach(variant plain encrypted)
  set(owner)
  if(variant STREQUAL encrypted)
    set(owner --owner "Same Bytes Owner")
  endif()
  foreach(side native windows)
    if(side STREQUAL native)
      set(program ${NATIVE})
    else()
      set(program ${EMULATOR} ${WINDOWS})
    endif()
    execute_process(COMMAND ${program} load ${side}-${variant}.vel PEOPLE
                            --schema ${DATA}/people.schema.json --csv rows.csv ${owner}
                    WORKING_DIRECTORY ${WORK} RESULT_VARIABLE code OUTPUT_VARIABLE out
                    ERROR_VARIABLE err)
    if(NOT code EQUAL 0 OR NOT out MATCHES "700 records added")
      message(FATAL_ERROR "${side} load (${variant}): exit ${code}\n${out}\n${err}")
    endif()
  endforeach()
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files native-${variant}.vel
                          windows-${variant}.vel
                  WORKING_DIRECTORY ${WORK} RESULT_VARIABLE same)
  if(NOT same EQUAL 0)
    message(FATAL_ERROR "the ${variant} files written natively and on Windows differ")
  endif()
  file(SIZE ${WORK}/native-${variant}.vel size)
  if(size LESS 20000)
    message(FATAL_ERROR "the ${variant} file is too small (${size}) to exercise the format")
  endif()
  # Each program reads back what the other wrote.
  execute_process(COMMAND ${NATIVE} verify windows-${variant}.vel ${owner}
                  WORKING_DIRECTORY ${WORK} RESULT_VARIABLE code OUTPUT_VARIABLE out)
  if(NOT code EQUAL 0 OR NOT out MATCHES "clean")
    message(FATAL_ERROR "native verify of the Windows file (${variant}): ${code}\n${out}")
  endif()
  execute_process(COMMAND ${EMULATOR} ${WINDOWS} verify native-${variant}.vel ${owner}
                  WORKING_DIRECTORY ${WORK} RESULT_VARIABLE code OUTPUT_VARIABLE out)
  if(NOT code EQUAL 0 OR NOT out MATCHES "clean")
    message(FATAL_ERROR "Windows verify of the native file (${variant}): ${code}\n${out}")
  endif()
endforeach()
