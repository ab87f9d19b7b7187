# Compile rules shared by every target. The star field is specified bit for
# bit, so no target may contract a multiply-add or relax IEEE semantics.
function(mirrowen_compile_rules target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -ffp-contract=off -fno-fast-math)
  if(MIRROWEN_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer
                                             -fno-sanitize-recover=undefined)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  elseif(NOT WIN32 AND NOT EMSCRIPTEN AND CMAKE_BUILD_TYPE STREQUAL "Release")
    # The programs users install get the hardening Debian builds its own with.
    target_compile_options(${target} PRIVATE -D_FORTIFY_SOURCE=2 -fstack-protector-strong)
    target_link_options(${target} PRIVATE -Wl,-z,relro -Wl,-z,now)
  endif()
  if(NOT MIRROWEN_SANITIZE)
    # The programs that are packaged carry no trace of where they were built:
    # two checkouts at different paths give the same bytes.
    target_compile_options(${target} PRIVATE -ffile-prefix-map=${CMAKE_SOURCE_DIR}/=
                                             -ffile-prefix-map=${CMAKE_BINARY_DIR}/=)
  endif()
  if(WIN32)
    # No link time in the PE header (nor so in its checksum).
    target_link_options(${target} PRIVATE -Wl,--no-insert-timestamp)
  endif()
endfunction()

# Windows programs carry their runtime with them.
function(mirrowen_static_runtime target)
  if(WIN32)
    target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
  endif()
endfunction()

# windres reports no dependencies: in the calling directory, make
# resources/mirrowen.rc depend on every file it pulls in.
function(mirrowen_resource_depends)
  get_property(inputs GLOBAL PROPERTY MIRROWEN_RESOURCE_INPUTS)
  set_source_files_properties(${CMAKE_SOURCE_DIR}/resources/mirrowen.rc DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}
                              PROPERTIES OBJECT_DEPENDS "${inputs}")
endfunction()
