# lumikarta_trusted_update_keys(<output.cpp>): writes the source of TrustedUpdateKeys() with the
# public keys the program trusts to sign update definitions. They are the PEM files listed in
# LUMIKARTA_UPDATE_KEYS; without any, the build makes a key pair of its own in
# <build>/update-signing/ (once, kept across reconfigures) and trusts its public half, so a build
# that nobody gave keys trusts a key nobody else has, and the demo and the reference service sign
# with its private half.
include(${CMAKE_CURRENT_LIST_DIR}/WriteIfChanged.cmake)

function(lumikarta_trusted_update_keys output)
  find_program(LUMIKARTA_OPENSSL openssl REQUIRED)
  set(keys ${LUMIKARTA_UPDATE_KEYS})
  if(NOT keys)
    set(folder ${CMAKE_BINARY_DIR}/update-signing)
    if(NOT EXISTS ${folder}/private.pem)
      # The folder is the owner's alone before the key is written into it; the key takes its name
      # only when it is complete.
      file(MAKE_DIRECTORY ${folder})
      file(CHMOD ${folder} DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
      execute_process(
        COMMAND ${LUMIKARTA_OPENSSL} genpkey -algorithm EC -pkeyopt ec_paramgen_curve:P-256
          -out ${folder}/private.pem.new
        RESULT_VARIABLE failed)
      if(failed)
        message(FATAL_ERROR "The build's update signing key could not be made with ${LUMIKARTA_OPENSSL}")
      endif()
      file(RENAME ${folder}/private.pem.new ${folder}/private.pem)
      file(REMOVE ${folder}/public.pem)
    endif()
    if(NOT EXISTS ${folder}/public.pem)
      execute_process(
        COMMAND ${LUMIKARTA_OPENSSL} pkey -in ${folder}/private.pem -pubout -out ${folder}/public.pem
        RESULT_VARIABLE failed)
      if(failed)
        message(FATAL_ERROR "The public half of ${folder}/private.pem could not be written")
      endif()
    endif()
    set(keys ${folder}/public.pem)
    message(STATUS "Update definitions: signed by the build's own key ${folder}/private.pem")
  endif()

  set(entries "")
  foreach(key ${keys})
    get_filename_component(key ${key} ABSOLUTE BASE_DIR ${PROJECT_SOURCE_DIR})
    # A key the program could never use is a mistake of the build, not a definition to refuse later.
    execute_process(COMMAND ${LUMIKARTA_OPENSSL} pkey -pubin -in ${key} -noout -text
      OUTPUT_VARIABLE description ERROR_QUIET RESULT_VARIABLE failed)
    if(failed OR NOT description MATCHES "NIST CURVE: P-256")
      message(FATAL_ERROR "LUMIKARTA_UPDATE_KEYS: ${key} is not a PEM public key on P-256")
    endif()
    file(READ ${key} pem)
    string(APPEND entries "    R\"pem(${pem})pem\",\n")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${key})
  endforeach()
  set(content "#include \"update/trusted_update_keys.h\"\n\nnamespace {\n\nconst std::string kTrustedKeys[] = {\n${entries}};\n\n}  // namespace\n\nstd::span<const std::string> TrustedUpdateKeys() {\n    return kTrustedKeys;\n}\n")
  lumikarta_write_if_changed(${output} "${content}")
endfunction()
