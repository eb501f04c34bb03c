# The Debian package of the libraries: libovira-dev, with the static
# libraries, the public headers, the CMake package and the pkg-config files
# (what `cmake --install` puts in a prefix), installed under /usr.
#   cmake --build <build> --target ovira-deb   -> <build>/packages/libovira-dev_<version>_<arch>.deb
set(OVIRA_PACKAGE_MAINTAINER "OVIRA maintainers <ovira@qorix.ai>" CACHE STRING
    "The Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME libovira-dev)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "OVIRA")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "OVIRA eKYC client library (development files)")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "OVIRA runs an identity-verification flow inside a host application: the\n"
    "user chooses an identity document, photographs it and their face (with a\n"
    "live face check), the eKYC service judges each photograph, and the user\n"
    "confirms and submits the identity data the service read. The host is told\n"
    "the session's transaction identifier.\n"
    "This package holds the static libraries ovira-core (no Qt) and ovira (Qt 6\n"
    "Widgets), their headers, the CMake package (find_package(OVIRA)) and the\n"
    "pkg-config files.")
string(JOIN "" CPACK_DEBIAN_PACKAGE_DESCRIPTION ${CPACK_DEBIAN_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGE_CONTACT "${OVIRA_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${OVIRA_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY "${PROJECT_BINARY_DIR}/packages")
set(CPACK_STRIP_FILES OFF)
# CPack installs what is built; it does not build the whole tree (tests,
# tools, benchmarks) first. ovira-deb builds the libraries it packages.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

# What a host needs to build and link against the static libraries: the
# development packages of every library they use, and at run time the Haar
# cascade of opencv-data (the face check's fallback).
set(OVIRA_DEBIAN_DEPENDS
    "libcurl4-openssl-dev (>= 7.85) | libcurl-dev"
    "nlohmann-json3-dev (>= 3.10)"
    "libpng-dev (>= 1.6)"
    "libturbojpeg0-dev"
    "libutf8proc-dev")
if(TARGET ovira)
  list(APPEND OVIRA_DEBIAN_DEPENDS
       "qt6-base-dev (>= 6.4)"
       "qt6-svg-dev (>= 6.4)"
       "qt6-multimedia-dev (>= 6.4)"
       "libopencv-dev"
       "opencv-data")
endif()
list(JOIN OVIRA_DEBIAN_DEPENDS ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "pkgconf | pkg-config, cmake (>= 3.25)")

include(CPack)

add_custom_target(ovira-deb
  COMMAND ${CMAKE_CPACK_COMMAND} --config "${PROJECT_BINARY_DIR}/CPackConfig.cmake"
  WORKING_DIRECTORY "${PROJECT_BINARY_DIR}"
  COMMENT "Building the Debian package ${CPACK_PACKAGE_NAME} ${PROJECT_VERSION}"
  VERBATIM)
add_dependencies(ovira-deb ${OVIRA_INSTALLED_TARGETS})
