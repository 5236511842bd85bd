# Opening the main window against the dialog manager, and events through
# ACCEPT against a raw PostMessage/GetMessage loop (Windows, under Wine).
if(TARGET mxb_app)
  mxb_win_bench(ui_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/ui_bench_win.cc LIBS mxb_app)
  mxb_window_resources(ui_bench)
  mxb_windows_resources(ui_bench)
endif()
