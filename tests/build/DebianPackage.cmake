# Builds the Debian package with CPack and checks it: its control fields
# (name, the project's version, architecture, dependencies) and its contents
# (libraries, headers with the version header, CMake package, pkg-config
# files, all under /usr and nothing else), then unpacks it and asks its
# pkg-config files for their version.
#   -DOVIRA_BINARY_DIR -DWORK_DIR -DCPACK=<cpack> -DVERSION=<project version> -DWITH_QT=ON|OFF -DPKG_CONFIG=<pkg-config>
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")

include("${CMAKE_CURRENT_LIST_DIR}/RunStep.cmake")

run("cpack" ${CPACK} --config "${OVIRA_BINARY_DIR}/CPackConfig.cmake" -B "${WORK_DIR}")
file(GLOB debs "${WORK_DIR}/*.deb")
list(LENGTH debs count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "cpack made ${count} .deb files: ${debs}")
endif()
run("dpkg --print-architecture" dpkg --print-architecture)
string(STRIP "${output}" arch)
get_filename_component(deb_name "${debs}" NAME)
if(NOT deb_name STREQUAL "libovira-dev_${VERSION}_${arch}.deb")
  message(FATAL_ERROR "the package is named ${deb_name}")
endif()

function(expect_field field expected)
  run("dpkg-deb -f ${field}" dpkg-deb -f "${debs}" ${field})
  string(STRIP "${output}" value)
  if(NOT value MATCHES "${expected}")
    message(FATAL_ERROR "${field}: \"${value}\" does not match \"${expected}\"")
  endif()
endfunction()
expect_field(Package "^libovira-dev$")
expect_field(Version "^${VERSION}$")
expect_field(Architecture "^${arch}$")
expect_field(Section "^libdevel$")
expect_field(Maintainer ".+<.+@.+>")
expect_field(Description "^OVIRA eKYC client library")
foreach(dependency libcurl4-openssl-dev nlohmann-json3-dev libpng-dev libturbojpeg0-dev libutf8proc-dev)
  expect_field(Depends "(^|, )${dependency}")
endforeach()
if(WITH_QT)
  foreach(dependency qt6-base-dev qt6-svg-dev qt6-multimedia-dev libopencv-dev opencv-data)
    expect_field(Depends "(^|, )${dependency}")
  endforeach()
endif()

run("dpkg-deb -c" dpkg-deb -c "${debs}")
string(REGEX MATCHALL "\\./[^\n]*[^/\n]" entries "${output}")
set(expected
    usr/include/ovira/OVIRA.h usr/include/ovira/OVIRASettings.h usr/include/ovira/OVIRADelegate.h
    usr/include/ovira/OVIRAVersion.h usr/lib/libovira-core.a usr/lib/cmake/OVIRA/OVIRAConfig.cmake
    usr/lib/cmake/OVIRA/OVIRAConfigVersion.cmake usr/lib/cmake/OVIRA/OVIRATargets.cmake
    usr/lib/pkgconfig/ovira-core.pc)
if(WITH_QT)
  list(APPEND expected usr/include/ovira/qt/OVIRAFlow.h usr/include/ovira/qt/OVIRATheme.h
       usr/lib/libovira.a usr/lib/libovira-vision.a usr/lib/pkgconfig/ovira.pc)
endif()
foreach(path IN LISTS expected)
  string(FIND "${output}" " ./${path}\n" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the package lacks /${path}:\n${output}")
  endif()
endforeach()
foreach(line IN LISTS entries)
  if(NOT line MATCHES "^\\./usr(/include(/ovira(/.*)?)?|/lib(/.*)?)?$")
    message(FATAL_ERROR "the package installs outside /usr/include/ovira and /usr/lib: ${line}")
  endif()
endforeach()

# Unpacked, the package answers pkg-config with its version, and its version
# header says the same.
run("dpkg-deb -x" dpkg-deb -x "${debs}" "${WORK_DIR}/root")
set(ENV{PKG_CONFIG_PATH} "${WORK_DIR}/root/usr/lib/pkgconfig")
run("pkg-config --modversion" ${PKG_CONFIG} --modversion ovira-core)
string(STRIP "${output}" pc_version)
if(NOT pc_version STREQUAL VERSION)
  message(FATAL_ERROR "the package's ovira-core.pc says ${pc_version}")
endif()
file(STRINGS "${WORK_DIR}/root/usr/include/ovira/OVIRAVersion.h" version_line REGEX "define OVIRA_VERSION_STRING")
if(NOT version_line MATCHES "\"${VERSION}\"")
  message(FATAL_ERROR "the package's OVIRAVersion.h says: ${version_line}")
endif()
message("${deb_name}: ${count} package, control fields and contents as expected")
