# Fuzz target of the file layer: declarations, record dumps and the DOS
# driver's statements on a scratch file, all built from the input.
mxb_fuzz(files_dump_fuzz SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/files_dump_fuzz.cc LIBS kor_drivers)
