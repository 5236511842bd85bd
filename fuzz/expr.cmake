# Parsing, evaluating and rendering arbitrary expression text.
mxb_fuzz(expr_fuzz SOURCES ${CMAKE_CURRENT_LIST_DIR}/expr_fuzz.cc LIBS kor_runtime)
