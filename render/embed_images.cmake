# Writes OUTPUT: every IMAGE_DIR/NNN.tga as a byte array, and the table
# EmbeddedImages of (id, bytes, size) in id order.
file(GLOB images ${IMAGE_DIR}/*.tga)
list(SORT images)
set(arrays "")
set(rows "")
set(count 0)
foreach(image ${images})
  get_filename_component(id ${image} NAME_WE)
  if(NOT id MATCHES "^[0-9]+$")
    message(FATAL_ERROR "image name is not a number: ${image}")
  endif()
  file(READ ${image} hex HEX)
  string(LENGTH "${hex}" digits)
  math(EXPR size "${digits} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  # Lines of 32 bytes keep the file readable and the compiler fast.
  string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){32})" "\\1\n    " bytes "${bytes}")
  string(APPEND arrays "const unsigned char Image${id}[${size}] = {\n    ${bytes}\n};\n")
  string(APPEND rows "    {${id}, Image${id}, ${size}},\n")
  math(EXPR count "${count} + 1")
endforeach()
file(WRITE ${OUTPUT}.new
"// Generated from the images by embed_images.cmake; do not edit.
#include \"render/embedded_images.h\"

namespace {
${arrays}}  // namespace

const EmbeddedImage EmbeddedImages[] = {
${rows}};
const std::size_t EmbeddedImageCount = ${count};
")
file(RENAME ${OUTPUT}.new ${OUTPUT})
