# Picture compiler with FORMAT and DEFORMAT: the bytes are a picture and a text.
mxb_fuzz(pictures_fuzz SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/pictures_fuzz.cc LIBS kor_runtime)
