# The decimal stack against decimal128 of the Intel decimal floating-point
# library (libintelrdfpmath-dev) and against scaled int64, native only.
find_library(MXB_BENCH_BID bidgcc000)
find_path(MXB_BENCH_BID_INCLUDE bid_functions.h)
if(MXB_BENCH_BID AND MXB_BENCH_BID_INCLUDE)
  mxb_bench(decimal_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/decimal_bench.cc
            LIBS kor_runtime ${MXB_BENCH_BID})
endif()
