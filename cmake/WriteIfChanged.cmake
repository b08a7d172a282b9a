# lumikarta_write_if_changed(<file> <content>): writes the generated file only when its content
# differs, so a reconfigure that changes nothing rebuilds nothing that depends on it.
function(lumikarta_write_if_changed file content)
  if(EXISTS ${file})
    file(READ ${file} previous)
  endif()
  if(NOT "${previous}" STREQUAL "${content}")
    file(WRITE ${file} "${content}")
  endif()
endfunction()
