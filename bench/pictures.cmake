# FORMAT through compiled pictures against strftime/snprintf writing the same text.
mxb_bench(pictures_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/pictures_bench.cc LIBS kor_runtime)
