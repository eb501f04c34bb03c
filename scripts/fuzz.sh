#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (address and undefined-behaviour
# sanitizers; any finding stops the run) and runs each for OVIRA_FUZZ_SECONDS
# (default 60) from the committed seeds in fuzz/corpus/<target>, printing the
# number of inputs it ran. A crash fails the run and leaves its input in
# build-fuzz/ (crash-*): turn it into a unit test and fix the library.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
build="${OVIRA_FUZZ_BUILD_DIR:-build-fuzz}"
seconds="${OVIRA_FUZZ_SECONDS:-60}"
targets=(fuzz_envelope fuzz_models fuzz_key_conversion fuzz_multipart fuzz_strings_table fuzz_http_response)

# -O1 with line tables: fast to build, still readable stack traces.
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -gline-tables-only" \
  -DOVIRA_FUZZ=ON -DOVIRA_BUILD_TESTS=OFF -DOVIRA_BUILD_QT=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}" >/dev/null

for target in "${targets[@]}"; do
  # Inputs the run finds go to a scratch folder; the committed seeds stay as they are.
  corpus="$build/corpus/$target"
  mkdir -p "$corpus"
  printf '%-22s ' "$target"
  if ! (cd "$build" && "./fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 \
        "corpus/$target" "$OLDPWD/fuzz/corpus/$target" >"$target.log" 2>&1); then
    echo "FAILED (see $build/$target.log)"
    tail -40 "$build/$target.log"
    exit 1
  fi
  awk '/stat::number_of_executed_units/ {runs=$2} /stat::average_exec_per_sec/ {rate=$2}
       END {printf "%d executions in '"$seconds"' s (%d/s)\n", runs, rate}' "$build/$target.log"
done
