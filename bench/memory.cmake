# The runtime allocator against the C library's malloc and against mimalloc
# (called explicitly, not as a replacement) on small-block mixes and growth.
find_library(MXB_BENCH_MIMALLOC mimalloc)
if(MXB_BENCH_MIMALLOC)
  mxb_bench(memory_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/memory_bench.cc
            LIBS kor_runtime ${MXB_BENCH_MIMALLOC})
  target_compile_definitions(memory_bench PRIVATE MXB_BENCH_HAVE_MIMALLOC=1)
else()
  mxb_bench(memory_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/memory_bench.cc LIBS kor_runtime)
endif()
