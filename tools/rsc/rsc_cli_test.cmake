# Runs rsc as the build does: --check on every description of the program,
# --dump of a compiled resource (its lines equal the description's), and a
# faulty description, which must fail with "FILE:LINE: message".
# Run with -DRSC=<rsc> -DSOURCE=<source root> -DWORK=<scratch folder>.
file(GLOB descriptions ${SOURCE}/resources/*.wnd)
foreach(description ${descriptions})
  execute_process(COMMAND ${RSC} --check ${description} RESULT_VARIABLE status ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "rsc --check ${description} failed: ${err}")
  endif()
endforeach()

file(MAKE_DIRECTORY ${WORK})
execute_process(COMMAND ${RSC} ${SOURCE}/resources/MXB003.wnd -o ${WORK}/MXB003.bin RESULT_VARIABLE status)
execute_process(COMMAND ${RSC} --dump ${WORK}/MXB003.bin OUTPUT_VARIABLE dump RESULT_VARIABLE dump_status)
if(NOT status EQUAL 0 OR NOT dump_status EQUAL 0)
  message(FATAL_ERROR "compiling or dumping MXB003 failed")
endif()
if(NOT dump MATCHES "\n  list 1\n    at 4 4 239 95\n" OR NOT dump MATCHES "button 3 \"&View\"")
  message(FATAL_ERROR "the dump of MXB003 lacks its controls:\n${dump}")
endif()

file(WRITE ${WORK}/bad.wnd "resource \"mxb$BAD\"\nwindow \"W\"\n  button 1\n    key Hyper+X\n")
execute_process(COMMAND ${RSC} ${WORK}/bad.wnd -o ${WORK}/bad.bin RESULT_VARIABLE status
                ERROR_VARIABLE err)
if(status EQUAL 0 OR NOT err MATCHES "bad.wnd:4: 'Hyper\\+X' is not a key")
  message(FATAL_ERROR "a faulty description gave status ${status} and: ${err}")
endif()
if(EXISTS ${WORK}/bad.bin)
  message(FATAL_ERROR "a faulty description left a resource behind")
endif()
file(WRITE ${WORK}/damaged.bin "mxb$X\n")
execute_process(COMMAND ${RSC} --dump ${WORK}/damaged.bin RESULT_VARIABLE status ERROR_VARIABLE err)
if(status EQUAL 0 OR NOT err MATCHES "damaged.bin")
  message(FATAL_ERROR "a damaged resource gave status ${status} and: ${err}")
endif()
