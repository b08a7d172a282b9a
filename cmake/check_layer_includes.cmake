# Fails when a file includes a header of a library its own library does not link.
#   cmake -DLAYER_MAP=<file written by lumikarta_write_layer_map> -P check_layer_includes.cmake
cmake_minimum_required(VERSION 3.25)
include(${LAYER_MAP})
foreach(layer ${layers})
  foreach(file ${files_of_${layer}})
    file(STRINGS ${source_root}/${file} includes REGEX "^#include \"")
    foreach(include ${includes})
      string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" header "${include}")
      set(owner ${owner_of_${header}})
      if(owner AND NOT owner IN_LIST allowed_${layer})
        message(SEND_ERROR "${file} (${layer}) includes ${header}, which belongs to ${owner}, "
          "a library ${layer} does not link")
      endif()
    endforeach()
  endforeach()
endforeach()
