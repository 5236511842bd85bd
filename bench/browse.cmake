# The browse engine's page fill against plain NEXT reads of the same rows.
mxb_bench(browse_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/browse_bench.cc LIBS mxb_app_core)
