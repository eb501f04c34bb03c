#!/usr/bin/env bash
# Installs what is missing, builds everything with warnings as errors, and
# runs the whole test suite. This is the command CI runs.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
bash scripts/fetch-models.sh

build="${OVIRA_BUILD_DIR:-build}"
jobs="$(nproc)"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOVIRA_WARNINGS_AS_ERRORS=ON -DOVIRA_BUILD_TESTS=ON
cmake --build "$build" -j"$jobs"
ctest --test-dir "$build" --output-on-failure -j"$jobs"
