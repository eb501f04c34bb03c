#!/usr/bin/env bash
# Builds the benchmarks in Release and prints every figure with its baseline
# and ratio. Run it on an otherwise idle machine.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
bash scripts/fetch-models.sh
bash scripts/fetch-testdata.sh
build="${OVIRA_BENCH_BUILD_DIR:-build-bench}"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DOVIRA_BUILD_BENCH=ON -DOVIRA_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null

export OVIRA_TESTDATA="${OVIRA_TESTDATA:-$PWD/.deps/testdata}"
"$build/bench/bench_face_check"
QT_QPA_PLATFORM=offscreen "$build/bench/bench_face_check_frames"
"$build/bench/bench_card_examiner"
"$build/bench/bench_late_frames"
"$build/bench/bench_uploads"
QT_QPA_PLATFORM=offscreen "$build/bench/bench_still_pipeline"
QT_QPA_PLATFORM=offscreen "$build/bench/bench_flow_ui"
QT_QPA_PLATFORM=offscreen "$build/bench/bench_capture_guidance"
"$build/bench/bench_hostile"

# The GUI thread's longest stall and the peak memory over a whole autopilot
# run against the development service (the idle host and its start-up
# memory as the baselines, measured in the same process).
source scripts/devserver-lib.sh
work="$(mktemp -d)"
trap 'stop_devserver; rm -rf "$work"' EXIT
start_devserver "$build/tools/devserver/ekyc-devserver" "$work"
XDG_DATA_HOME="$work/home" QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=2 "$build/examples/demo/ovira-demo" \
  --service "$address" --ca "$ca" --autopilot idCard --measure >"$work/autopilot.log" 2>&1 \
  || { cat "$work/autopilot.log" >&2; exit 1; }
read -r stall idle peak startup < <(awk '/^measured:/ {print $3, $5, $9, $11}' "$work/autopilot.log")
echo
echo "Whole autopilot run (identity card), GUI thread and memory"
printf '%-44s %16s %16s %9s  %s\n' "measure" "OVIRA" "baseline" "ratio" "target"
printf '%-44s %16s %16s %9s  %s\n' "longest GUI stall (vs idle host)" "$stall ms" "$idle ms" \
  "$(awk -v a="$stall" -v b="$idle" 'BEGIN {printf "%.2f", (b > 0) ? a / b : 0}')" "<= 50 ms"
printf '%-44s %16s %16s %9s  %s\n' "peak memory (vs host at start-up)" "$peak MB" "$startup MB" \
  "$(awk -v a="$peak" -v b="$startup" 'BEGIN {printf "%.2f", a / b}')" "<= 250 MB"

# Poor pictures first on every capture screen (too dark, blurred, too far,
# glared; a face too far, turned, too dark): the photographs the device
# refused are the round trips to the service it saved; the service must
# refuse none of those it received.
XDG_DATA_HOME="$work/home-degraded" QT_QPA_PLATFORM=offscreen "$build/examples/demo/ovira-demo" \
  --service "$address" --ca "$ca" --autopilot idCard --degraded --measure >"$work/degraded.log" 2>&1 \
  || { cat "$work/degraded.log" >&2; exit 1; }
read -r saved accepted refused < <(awk '/^attempts:/ {print $2, $10, $13}' "$work/degraded.log")
echo
echo "Degraded pictures (identity card, autopilot --degraded), service round trips"
printf '%-44s %16s %16s %9s  %s\n' "measure" "OVIRA" "baseline" "ratio" "target"
printf '%-44s %16s %16s %9s  %s\n' "uploads (vs every photograph taken)" "$((accepted + refused))" \
  "$((saved + accepted + refused))" \
  "$(awk -v a="$((accepted + refused))" -v b="$((saved + accepted + refused))" 'BEGIN {printf "%.2f", a / b}')" \
  "refused by the service: 0"
printf '%-44s %16s\n' "round trips saved (refused on the device)" "$saved"
printf '%-44s %16s\n' "refused by the service" "$refused"

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
