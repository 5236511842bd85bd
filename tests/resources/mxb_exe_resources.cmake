# Checks that mxb.exe carries the five compiled window resources and the
# program's images, by listing the executable's resources with the resource
# compiler of the toolchain. Run with -DRC=<windres> -DEXE=<mxb.exe>.
execute_process(COMMAND ${RC} -i ${EXE} -O rc OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cannot list the resources of ${EXE}")
endif()
# The names as the listing writes them (backslashes doubled), with their type.
set(expected
  "\"MXB001_RSC\" \"DABDUMP\"" "\"MXB002_RSC\" \"DABDUMP\"" "\"MXB003_RSC\" \"DABDUMP\""
  "\"MXB004_RSC\" \"DABDUMP\"" "\"MXB_SF_RSC\" \"DABDUMP\""
  "\"C:\\\\ICONS\\\\DIREVOD_ICO\" 14" "\"C:\\\\ICONS\\\\COFFEE2_ICO\" 14" "\"COMPUTER_ICO\" 14"
  "\"C:\\\\ICONS\\\\CONNECT_ICO\" 14" "\"C:\\\\ICONS\\\\DISCON_ICO\" 14" "\"CHECK1_ICO\" 14"
  "\"C:\\\\ICONS\\\\INSERT_ICO\" 14" "\"QUILL_ICO\" 14" "\"C:\\\\ICONS\\\\DELETE_ICO\" 14"
  "\"C:\\\\ICONS\\\\INVOICE_ICO\" 14" "\"C:\\\\KORVANE5\\\\IMAGES\\\\ANIMATE\\\\EXIT_GIF\" RCDATA"
  "\"VELOCORE_BMP\" 2" "101 14" "102 14")
set(missing "")
foreach(entry ${expected})
  string(FIND "${listing}" "${entry}" at)
  if(at EQUAL -1)
    list(APPEND missing "${entry}")
  endif()
endforeach()
if(missing)
  message(FATAL_ERROR "mxb.exe lacks: ${missing}")
endif()
message(STATUS "mxb.exe carries the window resources and the images")
