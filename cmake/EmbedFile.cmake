# lumikarta_embed_file(<input> <output.cpp> <symbol>): writes a source file that defines
# `extern const unsigned char <symbol>[]` and `extern const uint32_t <symbol>Size` with the input's
# bytes, so a language library that is plain C++ can carry an image without a resource compiler.
include(${CMAKE_CURRENT_LIST_DIR}/WriteIfChanged.cmake)

function(lumikarta_embed_file input output symbol)
  file(READ ${input} hex HEX)
  string(LENGTH "${hex}" hexLength)
  math(EXPR size "${hexLength} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
  set(content "#include <cstdint>\n\nextern const unsigned char ${symbol}[] = {\n${bytes}\n};\nextern const uint32_t ${symbol}Size = ${size};\n")
  lumikarta_write_if_changed(${output} "${content}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${input})
endfunction()
