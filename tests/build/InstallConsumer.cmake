# Installs the build into a scratch prefix, then builds and runs hosts against
# it: the consumer project (tests/install) through find_package(OVIRA), which
# also builds the example host and its walker, and then the same consumer
# compiled by hand with the flags `pkg-config --static --cflags --libs` gives
# for ovira-core and for ovira, from a copy of the prefix moved elsewhere (the
# pkg-config files find their prefix from where they lie).
#   -DOVIRA_BINARY_DIR -DCONSUMER_SOURCE_DIR -DHOST_EXAMPLE_DIR -DWORK_DIR
#   -DCXX=<compiler> -DPKG_CONFIG=<pkg-config> -DVERSION=<project version> -DWITH_QT=ON|OFF
file(REMOVE_RECURSE "${WORK_DIR}")
set(prefix "${WORK_DIR}/prefix")

include("${CMAKE_CURRENT_LIST_DIR}/RunStep.cmake")

run("install" ${CMAKE_COMMAND} --install "${OVIRA_BINARY_DIR}" --prefix "${prefix}")
run("configuring the consumer" ${CMAKE_COMMAND} -S "${CONSUMER_SOURCE_DIR}" -B "${WORK_DIR}/build"
    -DCMAKE_PREFIX_PATH=${prefix} -DOVIRA_HOST_EXAMPLE_DIR=${HOST_EXAMPLE_DIR})
run("building the consumer" ${CMAKE_COMMAND} --build "${WORK_DIR}/build")
set(consumers ovira-consumer)
set(pc_files ovira-core)
if(WITH_QT)
  list(APPEND consumers ovira-consumer-qt)
  list(APPEND pc_files ovira)
  foreach(built host/ovira-host ovira-host-walker)
    if(NOT EXISTS "${WORK_DIR}/build/${built}")
      message(FATAL_ERROR "the consumer project did not build ${built}")
    endif()
  endforeach()
endif()
foreach(consumer IN LISTS consumers)
  run("${consumer}" "${WORK_DIR}/build/${consumer}")
  message("${consumer}: ${output}")
endforeach()

# pkg-config, from the prefix moved elsewhere.
set(moved "${WORK_DIR}/moved/prefix")
file(MAKE_DIRECTORY "${WORK_DIR}/moved")
file(RENAME "${prefix}" "${moved}")
file(GLOB pc_dirs LIST_DIRECTORIES true "${moved}/lib*/pkgconfig" "${moved}/lib/*/pkgconfig")
if(NOT pc_dirs)
  message(FATAL_ERROR "no pkgconfig folder in the installed prefix")
endif()
set(ENV{PKG_CONFIG_PATH} "${pc_dirs}")
foreach(pc IN LISTS pc_files)
  file(GLOB pc_file "${pc_dirs}/${pc}.pc")
  file(READ "${pc_file}" text)
  string(FIND "${text}" "${WORK_DIR}" at)
  if(NOT at EQUAL -1)
    message(FATAL_ERROR "${pc}.pc names the install folder instead of finding it:\n${text}")
  endif()
  run("pkg-config --modversion ${pc}" ${PKG_CONFIG} --modversion ${pc})
  string(STRIP "${output}" pc_version)
  if(NOT pc_version STREQUAL VERSION)
    message(FATAL_ERROR "${pc}.pc says version ${pc_version}, the project ${VERSION}")
  endif()
  run("pkg-config --static --cflags --libs ${pc}" ${PKG_CONFIG} --static --cflags --libs ${pc})
  string(STRIP "${output}" flags)
  message("${pc}: ${flags}")
  string(REGEX MATCH "-I([^ ]+)" include_flag "${flags}")
  get_filename_component(include_dir "${CMAKE_MATCH_1}" REALPATH)
  if(NOT include_dir STREQUAL "${moved}/include")
    message(FATAL_ERROR "${pc}: the include folder is ${include_dir}, not the moved prefix's")
  endif()
  separate_arguments(flags UNIX_COMMAND "${flags}")
  set(program "${WORK_DIR}/${pc}-pkgconfig-consumer")
  run("compiling and linking a consumer with ${pc}'s flags"
      ${CXX} -std=c++20 -fPIC "-DOVIRA_EXPECTED_VERSION=\"${pc_version}\"" "${CONSUMER_SOURCE_DIR}/main.cpp"
      -o "${program}" ${flags})
  run("${program}" "${program}")
  message("${pc} (pkg-config): ${output}")
endforeach()
