# The API reference: Doxygen over the public headers and the integration
# guide (docs/Doxyfile.in). `cmake --build <build> --target ovira-docs` writes
# <build>/docs/html and fails on any warning. Without doxygen the target is
# not defined (scripts/install-deps.sh installs it).
find_package(Doxygen 1.9 QUIET)
if(NOT DOXYGEN_FOUND)
  message(STATUS "doxygen not found: no ovira-docs target")
  return()
endif()
set(OVIRA_DOCS_OUTPUT_DIR "${PROJECT_BINARY_DIR}/docs")
configure_file("${PROJECT_SOURCE_DIR}/docs/Doxyfile.in" "${OVIRA_DOCS_OUTPUT_DIR}/Doxyfile" @ONLY)
add_custom_target(ovira-docs
  COMMAND ${CMAKE_COMMAND} -E remove_directory "${OVIRA_DOCS_OUTPUT_DIR}/html"
  COMMAND Doxygen::doxygen "${OVIRA_DOCS_OUTPUT_DIR}/Doxyfile"
  WORKING_DIRECTORY "${PROJECT_SOURCE_DIR}"
  COMMENT "API reference in ${OVIRA_DOCS_OUTPUT_DIR}/html"
  VERBATIM)
