# The integration guide quotes the example host whole: every file of
# examples/host must stand in docs/INTEGRATION.md, to the letter, as a
# fenced block under its name, so that the guide shows the program the tests
# build and walk.
#   -DGUIDE=<docs/INTEGRATION.md> -DHOST_DIR=<examples/host>
file(READ "${GUIDE}" guide)
file(GLOB files RELATIVE "${HOST_DIR}" "${HOST_DIR}/*")
if(NOT files)
  message(FATAL_ERROR "no files in ${HOST_DIR}")
endif()
foreach(name IN LISTS files)
  file(READ "${HOST_DIR}/${name}" text)
  set(language cpp)
  if(name STREQUAL "CMakeLists.txt")
    set(language cmake)
  endif()
  string(FIND "${guide}" "### examples/host/${name}\n\n```${language}\n${text}```\n" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "docs/INTEGRATION.md does not quote examples/host/${name} as it is")
  endif()
endforeach()
message("the guide quotes ${files}")
