# Expression parsing and evaluation against muparser, in the same run.
find_package(PkgConfig REQUIRED)
pkg_check_modules(MUPARSER REQUIRED IMPORTED_TARGET muparser)
mxb_bench(expr_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/expr_bench.cc
          LIBS kor_runtime PkgConfig::MUPARSER)
