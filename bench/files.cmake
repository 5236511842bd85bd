# Sequential reading through the DOS driver against plain stdio reads.
mxb_bench(files_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/files_bench.cc LIBS kor_drivers)
