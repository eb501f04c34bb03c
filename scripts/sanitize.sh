#!/usr/bin/env bash
# The tests again under clang's sanitizers; any finding fails the run. CI runs
# this after scripts/test.sh.
#  - build-asan: AddressSanitizer (leaks included) with UndefinedBehaviorSanitizer,
#    every test of the core, the vision library, the development service and
#    the tools, built without Qt.
#  - build-asan-qt: the same sanitizers on the Qt interface's suites (label
#    gui: real widgets on the offscreen platform, some against the development
#    service), in a folder that builds only those suites; which ones, and
#    what is left out and why, is said below.
#  - build-tsan: ThreadSanitizer on the threaded parts: serial queues,
#    publishers, user defaults and the route monitor (platform_tests), the face
#    detection pipeline (capture_tests), the detection view models against the
#    development service (detection_tests) and the HTTP client shared by
#    several threads (http_client_tests).
# OVIRA_SANITIZE_ONLY=asan, asan-qt or tsan runs one of the three. With ccache
# on the PATH every build goes through it, paths taken relative to the
# repository, so that build-asan-qt reuses the objects build-asan has just
# made of the core, the vision library and the test support.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
bash scripts/fetch-models.sh
bash scripts/fetch-testdata.sh

jobs="$(nproc)"
only="${OVIRA_SANITIZE_ONLY:-}"
case "$only" in
  "" | asan | asan-qt | tsan) ;;
  *) echo "sanitize: OVIRA_SANITIZE_ONLY must be asan, asan-qt or tsan, not '$only'" >&2; exit 1 ;;
esac

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true
fi

# $1 build folder, $2 sanitizers, $3 ON to build the Qt interface; the rest
# are build targets (none: all).
build() {
  local dir="$1" sanitizers="$2" qt="$3"
  shift 3
  # -O1 with line tables: fast to build, still readable stack traces.
  CC=clang CXX=clang++ cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS_DEBUG="-O1 -gline-tables-only" -DOVIRA_SANITIZE="$sanitizers" \
    -DOVIRA_BUILD_TESTS=ON -DOVIRA_BUILD_QT="$qt" "${launcher[@]}" >/dev/null
  cmake --build "$dir" -j"$jobs" ${1:+--target "$@"} >/dev/null
}

suppressions="$PWD/scripts/sanitizers"
asan_options=(
  ASAN_OPTIONS="detect_leaks=1:detect_stack_use_after_return=1:strict_init_order=1:check_initialization_order=1"
  LSAN_OPTIONS="suppressions=$suppressions/lsan.supp:print_suppressions=0"
  UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
)

if [[ -z "$only" || "$only" == asan ]]; then
  echo "== AddressSanitizer + UndefinedBehaviorSanitizer (build-asan)"
  build build-asan address,undefined OFF
  # The install and package tests build and pack what the normal build has: nothing for a sanitizer to see.
  env "${asan_options[@]}" ctest --test-dir build-asan --output-on-failure -j"$jobs" -E '^build\.(install_consumer|debian_package)$'
fi

if [[ -z "$only" || "$only" == asan-qt ]]; then
  echo "== AddressSanitizer + UndefinedBehaviorSanitizer, the Qt interface (build-asan-qt)"
  # Every suite labelled gui, and the screen-reader walks.
  gui=(qt_resources_tests qt_ui_tests qt_screens_tests qt_flow_screens_tests qt_form_screens_tests
       qt_capture_tests qt_capture_screens_tests qt_capture_guidance_tests qt_sdk_tests fault_matrix_tests
       qt_accessibility_tests)
  build build-asan-qt address,undefined ON "${gui[@]}"
  # The demo's walks (label e2e) run in the normal build only. The offscreen
  # platform whatever the environment says, as the suites have by default.
  env "${asan_options[@]}" QT_QPA_PLATFORM=offscreen \
    ctest --test-dir build-asan-qt --output-on-failure -j"$jobs" \
      -R "^($(IFS='|'; echo "${gui[*]}"))\."
fi

if [[ -z "$only" || "$only" == tsan ]]; then
  echo "== ThreadSanitizer (build-tsan)"
  threaded=(platform_tests capture_tests detection_tests http_client_tests)
  build build-tsan thread OFF "${threaded[@]}"
  TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$suppressions/tsan.supp" \
    ctest --test-dir build-tsan --output-on-failure -j"$jobs" \
      -R "^($(IFS='|'; echo "${threaded[*]}"))\."
fi
