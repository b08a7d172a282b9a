# lumikarta_delay_loaded_library(<name> <dll>): the imported library <name>_delayed, through which the
# functions that cmake/delay-load/<name>.def lists bind on their first call instead of at the
# program's start. Under Wine, loading the spooler (which the common dialogs load too), the shell and
# WinINet with the program added some 150 ms to every start on our machines, the spooler most of it,
# while each is needed only for a fact collected beside the window or for something the user asks
# for. A function missing from the list fails the link: add it there.
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
endfunction()
