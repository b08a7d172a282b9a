# Installs the program into a staging folder, as the Debian package is made, and checks that the
# shared FAQ cache folder comes with it, ready for any user: sticky and open to all, below a maker's
# folder that only root may change.
#   cmake -DBUILD_DIR=<build folder> -DSTAGE=<empty scratch folder> -P install_test.cmake
file(REMOVE_RECURSE "${STAGE}")
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env "DESTDIR=${STAGE}"
          ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix /usr --component systeminfo
  OUTPUT_QUIET
  COMMAND_ERROR_IS_FATAL ANY)
foreach(expected IN ITEMS "755 /var/cache/Lumikarta" "1777 /var/cache/Lumikarta/Support und Update Tool")
  string(REGEX MATCH "^[0-9]+" mode "${expected}")
  string(REGEX REPLACE "^[0-9]+ " "" folder "${expected}")
  execute_process(COMMAND stat -c %a "${STAGE}${folder}" OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT found STREQUAL mode)
    message(FATAL_ERROR "${folder}: mode '${found}', expected ${mode}")
  endif()
endforeach()
file(REMOVE_RECURSE "${STAGE}")
