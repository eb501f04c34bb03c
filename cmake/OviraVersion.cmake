# The library's version is the project's (project() in the top CMakeLists.txt)
# and nothing else: the public header <ovira/OVIRAVersion.h> is generated from
# it here, and the CMake package, the pkg-config files, the Debian package and
# the API reference read PROJECT_VERSION too.
set(OVIRA_GENERATED_INCLUDE_DIR "${PROJECT_BINARY_DIR}/include")
configure_file("${PROJECT_SOURCE_DIR}/cmake/OVIRAVersion.h.in"
               "${OVIRA_GENERATED_INCLUDE_DIR}/ovira/OVIRAVersion.h" @ONLY)
target_include_directories(ovira-core PUBLIC $<BUILD_INTERFACE:${OVIRA_GENERATED_INCLUDE_DIR}>)
