#!/usr/bin/env bash
# Builds the benchmarks in Release and prints every figure with its baseline
# and ratio. Run it on an otherwise idle machine.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
bash scripts/fetch-models.sh
build="${OVIRA_BENCH_BUILD_DIR:-build-bench}"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DOVIRA_BUILD_BENCH=ON -DOVIRA_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null

export OVIRA_TESTDATA="${OVIRA_TESTDATA:-$PWD/../shared/testdata}"
"$build/bench/bench_face_check"
"$build/bench/bench_late_frames"
"$build/bench/bench_uploads"

echo
echo "Size of the built libraries (Release, static)"
total=0
for lib in src/core/libovira-core.a src/vision/libovira-vision.a src/qt/libovira.a; do
  if [[ -f "$build/$lib" ]]; then
    size=$(stat -c %s "$build/$lib")
    total=$((total + size))
    printf '%-44s %16s\n' "$(basename "$lib")" "$((size / 1024)) KB"
  fi
done
printf '%-44s %16s  %s\n' "all OVIRA libraries" "$((total / 1024)) KB" "target <= 10240 KB"
