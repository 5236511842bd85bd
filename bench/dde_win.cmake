# The DDE client's measures between two processes (execute round trip against
# a raw DDE execute/ACK, CPU time of a wait that times out); the program
# prints its own results.
if(TARGET kor_dde)
  add_executable(dde_bench dde_bench_win.cc)
  target_link_libraries(dde_bench PRIVATE kor_dde)
  mxb_windows_resources(dde_bench)
endif()
