#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (address and undefined-behaviour
# sanitizers) and runs each for OVIRA_FUZZ_SECONDS (default 60) from the
# committed seeds in fuzz/corpus/<target>. A crash fails the run and leaves
# its input in build-fuzz/; turn it into a unit test.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
build="${OVIRA_FUZZ_BUILD_DIR:-build-fuzz}"
seconds="${OVIRA_FUZZ_SECONDS:-60}"
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOVIRA_FUZZ=ON \
  -DOVIRA_BUILD_TESTS=OFF -DOVIRA_BUILD_QT=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target fuzz_envelope fuzz_key_conversion fuzz_multipart fuzz_strings_table >/dev/null

for target in fuzz_envelope fuzz_key_conversion fuzz_multipart fuzz_strings_table; do
  corpus="$build/corpus/$target"
  mkdir -p "$corpus"
  seeds="fuzz/corpus/$target"
  [[ -d "$seeds" ]] || seeds=""
  printf '%-22s ' "$target"
  if ! (cd "$build" && "./fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 "$PWD/corpus/$target" \
        ${seeds:+"$OLDPWD/$seeds"} >"$target.log" 2>&1); then
    echo "FAILED (see $build/$target.log)"
    tail -30 "$build/$target.log"
    exit 1
  fi
  grep -E "stat::number_of_executed_units" "$build/$target.log" | awk '{print $2 " executions"}'
done
