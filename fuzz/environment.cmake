# Environment-file reader: the fuzzer's bytes are the file's content.
mxb_fuzz(environment_fuzz SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/environment_fuzz.cc LIBS kor_runtime)
