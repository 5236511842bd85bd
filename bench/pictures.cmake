# FORMAT through compiled pictures against the fmt library and std::to_chars
# writing the same text.
find_package(fmt REQUIRED)
mxb_bench(pictures_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/pictures_bench.cc
          LIBS kor_runtime fmt::fmt)
