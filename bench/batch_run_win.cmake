# The 200-project unattended run (bench/batch_run_bench.sh): procstat reads
# mxb.exe's handle, GDI, USER and memory counters from outside the process.
add_executable(procstat procstat_win.cc)
target_link_libraries(procstat PRIVATE psapi)
