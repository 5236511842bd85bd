# The VELOCORE driver against SQLite (Debian's libsqlite3) on the project
# list's shape: bulk load, key-order scan, random reads, one durable add.
find_package(SQLite3 REQUIRED)
mxb_bench(velocore_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/velocore_bench.cc
  LIBS kor_drivers SQLite::SQLite3)
