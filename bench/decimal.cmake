# Decimal stack against GMP on DECIMAL(15,2) statements (native only).
find_library(MXB_BENCH_GMP gmp)
if(MXB_BENCH_GMP)
  mxb_bench(decimal_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/decimal_bench.cc
            LIBS kor_runtime ${MXB_BENCH_GMP})
endif()
