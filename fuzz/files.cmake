# Fuzz target of the file layer: the record dump over arbitrary record bytes.
mxb_fuzz(files_dump_fuzz SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/files_dump_fuzz.cc LIBS kor_files)
