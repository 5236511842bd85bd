# Helpers that declare the tree's libraries, programs and test executables.

# mxb_windows_resources(target): links the message table (and, later, the
# compiled window resources) into a Windows executable. Resources inside a
# static library are not pulled in by the linker, so every program that uses
# the runtime lists them itself.
function(mxb_windows_resources target)
  if(WIN32)
    target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/resources/messages.rc)
    set_source_files_properties(${PROJECT_SOURCE_DIR}/resources/messages.rc PROPERTIES
      OBJECT_DEPENDS ${PROJECT_SOURCE_DIR}/resources/messages.inc)
  endif()
endfunction()

# mxb_test(name SOURCES... LIBS...): one GoogleTest executable per area. On
# Windows it runs through the Wine wrapper (the cross-compiling emulator).
function(mxb_test name)
  if(NOT MXB_TESTS)
    return()
  endif()
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} mxb_test_main ${MXB_GTEST_LIBS})
  mxb_windows_resources(${name})
  if(MXB_RUN_TESTS)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
      PROPERTIES TIMEOUT 60)
  endif()
endfunction()
