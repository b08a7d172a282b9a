# Fails when the program imports one of the DLLs it is meant to load at their first call.
#   cmake -DOBJDUMP=<objdump> -DPROGRAM=<file.exe> -DDLLS=<dll>,<dll>... -P check_delay_loaded.cmake
execute_process(COMMAND ${OBJDUMP} -p ${PROGRAM} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "cannot read the imports of ${PROGRAM}")
endif()
string(TOLOWER "${dump}" dump)
string(REPLACE "," ";" dlls "${DLLS}")
foreach(dll IN LISTS dlls)
  string(TOLOWER "${dll}" dll)
  string(FIND "${dump}" "dll name: ${dll}\n" at)
  if(NOT at EQUAL -1)
    message(FATAL_ERROR "${PROGRAM} imports ${dll} at its start: add the functions it calls from there "
      "to the list in cmake/delay-load/")
  endif()
endforeach()
