# Text to decimal and text to REAL conversions and the decimal arithmetic
# under AddressSanitizer, checked against GMP. The decimal sources are
# compiled into the target itself so that the fuzzer's coverage
# instrumentation sees them.
find_library(MXB_FUZZ_GMP gmp REQUIRED)
find_path(MXB_FUZZ_GMP_INCLUDE gmp.h REQUIRED)
mxb_fuzz(decimal_text_fuzz
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/decimal_text_fuzz.cc
          ${PROJECT_SOURCE_DIR}/runtime/values/decimal_stack.cc
          ${PROJECT_SOURCE_DIR}/runtime/values/decimal_stack_register.cc
  LIBS kor_runtime ${MXB_FUZZ_GMP})
target_include_directories(decimal_text_fuzz PRIVATE ${MXB_FUZZ_GMP_INCLUDE})
