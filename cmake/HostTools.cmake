# The programs the build runs: rsc, the window resource compiler. A native
# build builds it as part of the tree; a Windows build cannot run what it
# builds, so it builds tools/rsc once more on its own, with the build
# machine's compiler, under build/<preset>/host-tools/ (ccache keeps this
# cheap). MXB_RSC is the program to run, MXB_RSC_DEPENDS what must be built
# first.
if(CMAKE_CROSSCOMPILING)
  include(ExternalProject)
  find_program(MXB_HOST_CXX NAMES c++ g++ clang++ REQUIRED NO_CMAKE_FIND_ROOT_PATH)
  find_program(MXB_CCACHE ccache NO_CMAKE_FIND_ROOT_PATH)
  # Optimised without debug information, so that ccache serves the host
  # builds of both Windows presets from one cache entry.
  set(host_args -DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG"
      -DCMAKE_CXX_COMPILER=${MXB_HOST_CXX})
  if(MXB_CCACHE)
    list(APPEND host_args -DCMAKE_CXX_COMPILER_LAUNCHER=${MXB_CCACHE})
  endif()
  ExternalProject_Add(host_rsc
    SOURCE_DIR ${PROJECT_SOURCE_DIR}/tools/rsc
    BINARY_DIR ${CMAKE_BINARY_DIR}/host-tools
    CMAKE_ARGS ${host_args}
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    BUILD_BYPRODUCTS ${CMAKE_BINARY_DIR}/host-tools/rsc)
  set(MXB_RSC ${CMAKE_BINARY_DIR}/host-tools/rsc)
  set(MXB_RSC_DEPENDS host_rsc ${MXB_RSC})
else()
  set(MXB_RSC $<TARGET_FILE:rsc>)
  set(MXB_RSC_DEPENDS rsc)
endif()
