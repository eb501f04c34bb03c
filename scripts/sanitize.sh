#!/usr/bin/env bash
# The tests again under clang's sanitizers; any finding fails the run. CI runs
# this after scripts/test.sh.
#  - build-asan: AddressSanitizer (leaks included) with UndefinedBehaviorSanitizer,
#    every test of the core, the vision library, the development service and
#    the tools (the Qt interface is left out to keep CI's time).
#  - build-tsan: ThreadSanitizer on the threaded parts: serial queues,
#    publishers, user defaults and the route monitor (platform_tests), the face
#    detection pipeline (capture_tests), the detection view models against the
#    development service (detection_tests) and the HTTP client shared by
#    several threads (http_client_tests).
# OVIRA_SANITIZE_ONLY=asan or tsan runs one of the two.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
bash scripts/fetch-models.sh
bash scripts/fetch-testdata.sh

jobs="$(nproc)"
only="${OVIRA_SANITIZE_ONLY:-}"

# $1 build folder, $2 sanitizers; the rest are build targets (none: all).
build() {
  local dir="$1" sanitizers="$2"
  shift 2
  # -O1 with line tables: fast to build, still readable stack traces.
  CC=clang CXX=clang++ cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS_DEBUG="-O1 -gline-tables-only" -DOVIRA_SANITIZE="$sanitizers" \
    -DOVIRA_BUILD_TESTS=ON -DOVIRA_BUILD_QT=OFF >/dev/null
  cmake --build "$dir" -j"$jobs" ${1:+--target "$@"} >/dev/null
}

suppressions="$PWD/scripts/sanitizers"

if [[ -z "$only" || "$only" == asan ]]; then
  echo "== AddressSanitizer + UndefinedBehaviorSanitizer (build-asan)"
  build build-asan address,undefined
  # The install and package tests build and pack what the normal build has: nothing for a sanitizer to see.
  ASAN_OPTIONS="detect_leaks=1:detect_stack_use_after_return=1:strict_init_order=1:check_initialization_order=1" \
  LSAN_OPTIONS="suppressions=$suppressions/lsan.supp:print_suppressions=0" \
  UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
    ctest --test-dir build-asan --output-on-failure -j"$jobs" -E '^build\.(install_consumer|debian_package)$'
fi

if [[ -z "$only" || "$only" == tsan ]]; then
  echo "== ThreadSanitizer (build-tsan)"
  threaded=(platform_tests capture_tests detection_tests http_client_tests)
  build build-tsan thread "${threaded[@]}"
  TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$suppressions/tsan.supp" \
    ctest --test-dir build-tsan --output-on-failure -j"$jobs" \
      -R "^($(IFS='|'; echo "${threaded[*]}"))\."
fi
