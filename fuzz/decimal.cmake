# Text to decimal and text to REAL conversions under AddressSanitizer. The
# decimal sources are compiled into the target itself so that the fuzzer's
# coverage instrumentation sees them.
mxb_fuzz(decimal_text_fuzz
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/decimal_text_fuzz.cc
          ${PROJECT_SOURCE_DIR}/runtime/values/decimal_stack.cc
          ${PROJECT_SOURCE_DIR}/runtime/values/decimal_stack_register.cc
  LIBS kor_runtime)
