#!/usr/bin/env bash
# Installs what is missing, builds everything with warnings as errors, builds
# the API reference (Doxygen; any warning fails), runs the whole test suite,
# then a short fuzzing run of every fuzz target (scripts/fuzz.sh;
# OVIRA_FUZZ_SECONDS per target). CI runs this, then scripts/sanitize.sh.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
bash scripts/fetch-models.sh
bash scripts/fetch-testdata.sh

build="${OVIRA_BUILD_DIR:-build}"
jobs="$(nproc)"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOVIRA_WARNINGS_AS_ERRORS=ON -DOVIRA_BUILD_TESTS=ON
cmake --build "$build" -j"$jobs"
cmake --build "$build" --target ovira-docs
ctest --test-dir "$build" --output-on-failure -j"$jobs"

OVIRA_FUZZ_SECONDS="${OVIRA_FUZZ_SECONDS:-45}" bash scripts/fuzz.sh
