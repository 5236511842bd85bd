# Warnings, sanitizers and static runtimes shared by every target of the tree.
add_compile_options(-Wall -Wextra)

if(MXB_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

if(MXB_FUZZ)
  # Coverage feedback from every library of the tree, not only from the
  # targets; the targets themselves add -fsanitize=fuzzer.
  add_compile_options(-fsanitize=fuzzer-no-link)
  add_link_options(-fsanitize=fuzzer-no-link)
endif()

if(WIN32)
  # Executables carry their C and C++ runtimes: only system DLLs beside them.
  add_link_options(-static -static-libgcc -static-libstdc++)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
endif()

# Tests: GoogleTest from the system natively, built from the Debian sources
# with the cross compiler for Windows.
if(WIN32)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  set(MXB_GTEST_LIBS gtest)
else()
  find_package(GTest REQUIRED)
  set(MXB_GTEST_LIBS GTest::gtest)
endif()
include(GoogleTest)

# Windows test executables run under wine64 through a wrapper that prepares
# the display, the prefix and the server (64-bit only: 32-bit code cannot run
# on these machines).
if(WIN32 AND CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  configure_file(${PROJECT_SOURCE_DIR}/cmake/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh @ONLY
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)
  set(MXB_RUN_TESTS ON)
elseif(WIN32)
  set(MXB_RUN_TESTS OFF)
else()
  set(MXB_RUN_TESTS ON)
endif()
