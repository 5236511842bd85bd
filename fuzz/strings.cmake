# String stack and string functions, checked against a std::string model.
mxb_fuzz(strings_fuzz SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/strings_fuzz.cc LIBS kor_runtime)
