# Fuzz target of the Velocore format: opening, verifying and reading
# arbitrary and mutated files (seeds in fuzz/corpus/velocore_fuzz).
mxb_fuzz(velocore_fuzz SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/velocore_fuzz.cc LIBS kor_velocore)
