# Runs the image generator into OUTPUT and compares each of the fourteen
# images with the committed one in COMMITTED.
file(REMOVE_RECURSE ${OUTPUT})
file(MAKE_DIRECTORY ${OUTPUT})
execute_process(COMMAND ${GENERATOR} ${OUTPUT} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "make_images failed: ${result}")
endif()
set(differ "")
foreach(id RANGE 110 123)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUTPUT}/${id}.tga ${COMMITTED}/${id}.tga
                  RESULT_VARIABLE same)
  if(NOT same EQUAL 0)
    list(APPEND differ ${id})
  endif()
endforeach()
if(differ)
  message(FATAL_ERROR "regenerated images differ from the committed ones: ${differ}")
endif()
