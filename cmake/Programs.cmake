# Helpers that declare the tree's libraries, programs and test executables.

# mxb_windows_resources(target): links the message table and the runtime's
# dialog templates (resources/dialogs.rc) into a Windows
# executable. Resources inside a static library are not pulled in by the
# linker, so every program that uses the runtime lists them itself.
function(mxb_windows_resources target)
  if(WIN32)
    target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/resources/messages.rc
      ${PROJECT_SOURCE_DIR}/resources/dialogs.rc)
    set_source_files_properties(${PROJECT_SOURCE_DIR}/resources/messages.rc PROPERTIES
      OBJECT_DEPENDS ${PROJECT_SOURCE_DIR}/resources/messages.inc)
  endif()
endfunction()

# mxb_manifest(target): links the application manifest (common controls 6,
# DPI awareness) into a Windows executable: the program itself and the test
# programs that show its controls as the program does.
function(mxb_manifest target)
  if(WIN32)
    target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/resources/manifest.rc)
    set_source_files_properties(${PROJECT_SOURCE_DIR}/resources/manifest.rc PROPERTIES
      OBJECT_DEPENDS ${PROJECT_SOURCE_DIR}/resources/mxb.manifest)
  endif()
endfunction()

# mxb_window_resources(target): links the compiled window resources and the
# program's images (resources/CMakeLists.txt) into a Windows executable: the
# program itself and the tests that look windows up through the platform.
function(mxb_window_resources target)
  if(WIN32)
    target_sources(${target} PRIVATE ${MXB_WINDOWS_RC})
    set_source_files_properties(${MXB_WINDOWS_RC} PROPERTIES
      OBJECT_DEPENDS "${MXB_WINDOW_RESOURCE_FILES}")
  endif()
  add_dependencies(${target} mxb_window_resources)
endfunction()

# mxb_test_windows(target): links the window descriptions made for the tests
# (tests/windows/) into a Windows program that opens them.
function(mxb_test_windows target)
  target_sources(${target} PRIVATE ${MXB_TEST_WINDOWS_RC})
  set_source_files_properties(${MXB_TEST_WINDOWS_RC} TARGET_DIRECTORY ${target} PROPERTIES
    OBJECT_DEPENDS "${MXB_TEST_WINDOW_FILES}")
  add_dependencies(${target} mxb_test_windows)
endfunction()

# mxb_test(name SOURCES... LIBS...): one GoogleTest executable per area. On
# Windows it runs through the Wine wrapper (the cross-compiling emulator).
function(mxb_test name)
  if(NOT MXB_TESTS)
    return()
  endif()
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  # All unit tests sit in one folder of the build, so a test finds the helper
  # programs it starts at ../tests/programs beside it.
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/test-bin)
  target_link_libraries(${name} PRIVATE ${T_LIBS} mxb_test_main ${MXB_GTEST_LIBS})
  mxb_windows_resources(${name})
  if(MXB_RUN_TESTS)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
      PROPERTIES TIMEOUT 60)
  endif()
endfunction()

# mxb_layer(target DIR dir [LIBS lower...] [TEST name]): the static library of
# one folder of the layered tree: its .cc files without the tests and without
# the other platform's side (*_win32.cc / *_posix.cc), linking only the layers
# below it. Its *_test.cc files become the test executable `name`.
# tools/check_layers.py holds the ranks; a link check per library
# (mxb_link_check) makes an upward call fail to link as well.
function(mxb_layer target)
  cmake_parse_arguments(L "" "DIR;TEST" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${L_DIR}/*.cc)
  list(FILTER sources EXCLUDE REGEX "_test\\.cc$")
  if(WIN32)
    list(FILTER sources EXCLUDE REGEX "_posix\\.cc$")
  else()
    list(FILTER sources EXCLUDE REGEX "_win32\\.cc$")
  endif()
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC ${L_LIBS})
  mxb_link_check(${target})
  if(L_TEST)
    file(GLOB tests CONFIGURE_DEPENDS ${L_DIR}/*_test.cc)
    if(tests)
      mxb_test(${L_TEST} SOURCES ${tests} LIBS ${target})
    endif()
  endif()
endfunction()

# mxb_link_check(target): links every object of the library, whole, with only
# the libraries it names below it into a small program. A call into a higher
# layer then has no definition and the link fails.
function(mxb_link_check target)
  add_executable(${target}_link_check ${PROJECT_SOURCE_DIR}/cmake/link_check_main.cc)
  target_link_libraries(${target}_link_check PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,${target}>")
endfunction()
