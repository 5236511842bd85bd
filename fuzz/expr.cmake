# Parsing, evaluating and rendering arbitrary expression text.
mxb_fuzz(expr_fuzz SOURCES ${CMAKE_CURRENT_LIST_DIR}/expr_fuzz.cc LIBS kor_runtime)
# Coverage feedback from the runtime's own code, not only from the target.
target_compile_options(kor_runtime PRIVATE -fsanitize=fuzzer-no-link)
