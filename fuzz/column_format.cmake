# List column format strings: the bytes are a format string.
mxb_fuzz(column_format_fuzz SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/column_format_fuzz.cc
  LIBS kor_uires)
