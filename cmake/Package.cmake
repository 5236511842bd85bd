# The release artefacts of the 32-bit build (the win32 preset), made with
# every build of it under build/win32/package/:
#   mxb-<version>-win32.zip     mxb.exe, README.md, LICENSE at the top level
#   mxb-<version>-setup.exe     the NSIS installer (cmake/mxb.nsi)
#   makensis.log                what makensis did (-V4); warnings fail the build
# mxb.exe is staged stripped of its debugging information. The artefacts are
# checked by tests/package/ (ctest in build/win32).

find_program(MXB_MAKENSIS makensis REQUIRED NO_CMAKE_FIND_ROOT_PATH)
if(NOT CMAKE_STRIP)
  message(FATAL_ERROR "no strip program for the release artefacts")
endif()

set(MXB_PACKAGE_DIR ${CMAKE_BINARY_DIR}/package)
set(MXB_PACKAGE_STAGE ${MXB_PACKAGE_DIR}/stage)
set(MXB_PACKAGE_ZIP ${MXB_PACKAGE_DIR}/mxb-${PROJECT_VERSION}-win32.zip)
set(MXB_PACKAGE_SETUP ${MXB_PACKAGE_DIR}/mxb-${PROJECT_VERSION}-setup.exe)
set(MXB_PACKAGE_LOG ${MXB_PACKAGE_DIR}/makensis.log)
set(staged ${MXB_PACKAGE_STAGE}/mxb.exe ${MXB_PACKAGE_STAGE}/README.md
    ${MXB_PACKAGE_STAGE}/LICENSE)

add_custom_command(
  OUTPUT ${staged}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${MXB_PACKAGE_STAGE}
  COMMAND ${CMAKE_STRIP} --strip-debug -o ${MXB_PACKAGE_STAGE}/mxb.exe $<TARGET_FILE:mxb>
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE
          ${MXB_PACKAGE_STAGE}
  DEPENDS mxb ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE
  COMMENT "Staging the release files")

# The zip is written fresh (tar would add to an old one) with the files at
# its top level.
add_custom_command(
  OUTPUT ${MXB_PACKAGE_ZIP}
  COMMAND ${CMAKE_COMMAND} -E rm -f ${MXB_PACKAGE_ZIP}
  COMMAND ${CMAKE_COMMAND} -E tar cf ${MXB_PACKAGE_ZIP} --format=zip mxb.exe README.md LICENSE
  WORKING_DIRECTORY ${MXB_PACKAGE_STAGE}
  DEPENDS ${staged}
  COMMENT "Packing ${MXB_PACKAGE_ZIP}")

# -WX: a warning is an error, so an installer that exists was built clean.
# The log keeps what makensis did (-V4) and is shown when it fails.
add_custom_command(
  OUTPUT ${MXB_PACKAGE_SETUP} ${MXB_PACKAGE_LOG}
  COMMAND sh -c "\"$0\" \"$@\" >\"${MXB_PACKAGE_LOG}\" 2>&1 || { cat \"${MXB_PACKAGE_LOG}\"; exit 1; }"
          ${MXB_MAKENSIS} -NOCD -WX -V4 -DVERSION=${PROJECT_VERSION} -DSTAGE=${MXB_PACKAGE_STAGE}
          -DOUTFILE=${MXB_PACKAGE_SETUP} ${PROJECT_SOURCE_DIR}/cmake/mxb.nsi
  DEPENDS ${staged} ${PROJECT_SOURCE_DIR}/cmake/mxb.nsi
  VERBATIM
  COMMENT "Building the installer ${MXB_PACKAGE_SETUP}")

add_custom_target(mxb_package ALL DEPENDS ${MXB_PACKAGE_ZIP} ${MXB_PACKAGE_SETUP})
