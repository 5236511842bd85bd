# Fuzz target of the window-resource decoder, seeded with the program's own
# compiled resources (resources/CMakeLists.txt copies them to fuzz-seeds/).
mxb_fuzz(resource_fuzz SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/resource_fuzz.cc LIBS kor_uires)
add_dependencies(resource_fuzz mxb_window_resources)
