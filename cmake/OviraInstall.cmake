# Installs the libraries with an exported CMake package (find_package(OVIRA)),
# the version header and pkg-config files (ovira-core, ovira). Every version
# here is the project's.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# ovira (the Qt interface) installs beside the core when it is built; hosts
# reach both through the public headers.
set(OVIRA_INSTALLED_TARGETS ovira-core)
if(TARGET ovira)
  list(APPEND OVIRA_INSTALLED_TARGETS ovira-vision ovira)
endif()
install(TARGETS ${OVIRA_INSTALLED_TARGETS} EXPORT OVIRATargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY "${PROJECT_SOURCE_DIR}/include/ovira" DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES "${OVIRA_GENERATED_INCLUDE_DIR}/ovira/OVIRAVersion.h" DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/ovira)

set(OVIRA_CMAKE_DIR "${CMAKE_INSTALL_LIBDIR}/cmake/OVIRA")
install(EXPORT OVIRATargets NAMESPACE OVIRA:: DESTINATION "${OVIRA_CMAKE_DIR}")
configure_package_config_file("${PROJECT_SOURCE_DIR}/cmake/OVIRAConfig.cmake.in"
                              "${PROJECT_BINARY_DIR}/OVIRAConfig.cmake"
                              INSTALL_DESTINATION "${OVIRA_CMAKE_DIR}")
write_basic_package_version_file("${PROJECT_BINARY_DIR}/OVIRAConfigVersion.cmake"
                                 COMPATIBILITY SameMinorVersion)
install(FILES "${PROJECT_BINARY_DIR}/OVIRAConfig.cmake" "${PROJECT_BINARY_DIR}/OVIRAConfigVersion.cmake"
        DESTINATION "${OVIRA_CMAKE_DIR}")

# pkg-config files that find their prefix from where they lie, so that the
# same files serve an installed prefix, a copied tree and the Debian package.
set(OVIRA_PKGCONFIG_DIR "${CMAKE_INSTALL_LIBDIR}/pkgconfig")
file(RELATIVE_PATH OVIRA_PC_PREFIX_FROM_PCFILEDIR "/${OVIRA_PKGCONFIG_DIR}" "/")
string(REGEX REPLACE "/$" "" OVIRA_PC_PREFIX_FROM_PCFILEDIR "${OVIRA_PC_PREFIX_FROM_PCFILEDIR}")
set(OVIRA_PC_FILES ovira-core)
if(TARGET ovira)
  list(APPEND OVIRA_PC_FILES ovira)
endif()
foreach(pc IN LISTS OVIRA_PC_FILES)
  configure_file("${PROJECT_SOURCE_DIR}/cmake/${pc}.pc.in" "${PROJECT_BINARY_DIR}/pkgconfig/${pc}.pc" @ONLY)
  install(FILES "${PROJECT_BINARY_DIR}/pkgconfig/${pc}.pc" DESTINATION "${OVIRA_PKGCONFIG_DIR}")
endforeach()
