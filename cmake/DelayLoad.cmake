# lumikarta_delay_loaded_library(<name> <dll>): the imported library <name>_delayed, through which the
# functions that cmake/delay-load/<name>.def lists bind on their first call instead of at the
# program's start. Under Wine, loading the spooler (which the common dialogs load too), the shell and
# WinINet with the program added some 150 ms to every start on our machines, the spooler most of it,
# while each is needed only for a fact collected beside the window or for something the user asks
# for. A function missing from a list is linked from the ordinary import library, or fails the link:
# add it there (lumikarta_check_delay_loaded tells).
function(lumikarta_delay_loaded_library name dll)
  set(def ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/delay-load/${name}.def)
  set(folder ${CMAKE_BINARY_DIR}/delay-load)
  set(library ${folder}/lib${name}_delayed.a)
  if(NOT EXISTS ${library} OR ${def} IS_NEWER_THAN ${library})
    file(MAKE_DIRECTORY ${folder})
    execute_process(COMMAND ${CMAKE_DLLTOOL} --input-def ${def} --dllname ${dll} --output-delaylib ${library}
      RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "dlltool could not make the delay-load library of ${dll}")
    endif()
  endif()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${def})
  add_library(${name}_delayed STATIC IMPORTED GLOBAL)
  # delayimp: the helper that loads the DLL and binds a function on its first call.
  set_target_properties(${name}_delayed PROPERTIES IMPORTED_LOCATION ${library} INTERFACE_LINK_LIBRARIES delayimp)
  set_property(GLOBAL APPEND PROPERTY LUMIKARTA_DELAY_LOADED_DLLS ${dll})
endfunction()

# lumikarta_check_delay_loaded(<target>): fails the target's build when it imports one of those DLLs
# at its start after all. The link alone does not tell: the shell is among the compiler's default
# libraries, so a shell function missing from its list is imported from it silently.
function(lumikarta_check_delay_loaded target)
  get_property(dlls GLOBAL PROPERTY LUMIKARTA_DELAY_LOADED_DLLS)
  string(REPLACE ";" "," dlls "${dlls}")
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} -DPROGRAM=$<TARGET_FILE:${target}> -DDLLS=${dlls}
      -P ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/check_delay_loaded.cmake
    VERBATIM)
endfunction()
