#!/usr/bin/env bash
# Shows the flow working: installs what is missing, builds, starts the
# development service on loopback (stopped again on exit) and runs ovira-demo
# against it. With a display the demo opens in a window; without one the
# autopilot walks the flow for each document kind and leaves screenshots.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
bash scripts/fetch-models.sh

build="${OVIRA_BUILD_DIR:-build}"
jobs="$(nproc)"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOVIRA_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build "$build" -j"$jobs" --target ovira-demo ekyc-devserver

demo="$build/examples/demo/ovira-demo"
devserver="$build/tools/devserver/ekyc-devserver"
[[ -x "$demo" && -x "$devserver" ]] || { echo "demo: the build did not produce $demo and $devserver" >&2; exit 1; }

# A data directory of our own: the service's CA and submissions stay with this run.
work="$(mktemp -d)"
server_pid=""
cleanup() {
  if [[ -n "$server_pid" ]]; then
    kill "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

"$devserver" --port 0 --data-dir "$work/data" >"$work/devserver.log" 2>&1 &
server_pid=$!

address="" ca=""
for _ in $(seq 1 200); do
  address="$(sed -n 's|^Listening on https://\(127\.0\.0\.1:[0-9]*\).*|\1|p' "$work/devserver.log")"
  ca="$(sed -n 's|^CA certificate: ||p' "$work/devserver.log")"
  [[ -n "$address" && -n "$ca" ]] && break
  kill -0 "$server_pid" 2>/dev/null || { cat "$work/devserver.log" >&2; echo "demo: ekyc-devserver stopped" >&2; exit 1; }
  sleep 0.1
done
[[ -n "$address" && -n "$ca" ]] || { cat "$work/devserver.log" >&2; echo "demo: ekyc-devserver did not start" >&2; exit 1; }
echo "demo: ekyc-devserver on https://$address"

# On a machine without a camera, OVIRA_DEMO_CAMERA_MEDIA names an image, a
# folder of images or a video for the window's file camera.
media=()
[[ -n "${OVIRA_DEMO_CAMERA_MEDIA:-}" ]] && media=(--camera-media "$OVIRA_DEMO_CAMERA_MEDIA")

if [[ -n "${DISPLAY:-}" ]]; then
  "$demo" --service "$address" --ca "$ca" "${media[@]}"
  exit 0
fi

shots="$(cd "$build" && pwd)/demo-screenshots"
status=0
# The passport in English, the others in Vietnamese.
for kind in idCard licenseDriver passport; do
  language=vi
  [[ "$kind" == passport ]] && language=en
  rm -rf "${shots:?}/$kind"
  mkdir -p "$shots/$kind"
  if XDG_DATA_HOME="$work/home-$kind" QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=2 "$demo" --service "$address" --ca "$ca" \
      --autopilot "$kind" --screenshots "$shots/$kind" --language "$language"; then
    echo "demo: $kind verified; screenshots in $shots/$kind"
  else
    echo "demo: $kind failed; screenshots so far in $shots/$kind" >&2
    status=1
  fi
done
exit "$status"
