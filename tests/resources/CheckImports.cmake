cmake_minimum_required(VERSION 3.25)
# Fails unless PROGRAM imports only DLLs that every Windows has, and none of
# those it loads when it needs them (the dialog's common controls, the shell
# for a SAVE with rights, COM and oleacc for a screen reader): each would
# slow every start.
execute_process(COMMAND ${OBJDUMP} -p ${PROGRAM} OUTPUT_VARIABLE dump COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCHALL "DLL Name: [^\r\n]+" imports "${dump}")
set(system advapi32.dll gdi32.dll kernel32.dll msvcrt.dll user32.dll version.dll
    api-ms-win-crt-runtime-l1-1-0.dll)
foreach(line IN LISTS imports)
  string(REPLACE "DLL Name: " "" dll "${line}")
  string(TOLOWER "${dll}" dll)
  if(NOT dll IN_LIST system)
    message(FATAL_ERROR "${PROGRAM} imports ${dll}: not one of Windows' own DLLs, or one it loads only when needed")
  endif()
endforeach()
list(LENGTH imports count)
if(count EQUAL 0)
  message(FATAL_ERROR "no imports found in ${PROGRAM}")
endif()
message(STATUS "${PROGRAM} imports ${count} DLLs, all Windows' own")
