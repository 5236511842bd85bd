# String comparison through the collating sequence against plain byte comparison.
mxb_bench(collation_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/collation_bench.cc LIBS kor_runtime)
