# Writes OUTPUT: the page TEMPLATE with the program's script MODULE in place
# of @MIRROWEN_MODULE@, one file that needs nothing else.
file(READ ${TEMPLATE} page)
file(READ ${MODULE} module)
if(module MATCHES "</script")
  message(FATAL_ERROR "${MODULE} holds </script and cannot be inlined as it is")
endif()
string(FIND "${page}" "@MIRROWEN_MODULE@" at)
string(SUBSTRING "${page}" 0 ${at} head)
math(EXPR rest "${at} + 17")
string(SUBSTRING "${page}" ${rest} -1 tail)
file(WRITE ${OUTPUT}.new "${head}${module}${tail}")
file(RENAME ${OUTPUT}.new ${OUTPUT})
