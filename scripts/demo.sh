#!/usr/bin/env bash
# Shows the flow working: installs what is missing, builds, starts the
# development service on loopback (stopped again on exit) and runs ovira-demo
# against it. With a display the demo opens in a window; without one the
# autopilot walks the flow for each document kind and leaves screenshots.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
bash scripts/fetch-models.sh
bash scripts/fetch-testdata.sh

build="${OVIRA_BUILD_DIR:-build}"
jobs="$(nproc)"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOVIRA_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build "$build" -j"$jobs" --target ovira-demo ekyc-devserver

demo="$build/examples/demo/ovira-demo"
devserver="$build/tools/devserver/ekyc-devserver"
[[ -x "$demo" && -x "$devserver" ]] || { echo "demo: the build did not produce $demo and $devserver" >&2; exit 1; }

# A data directory of our own: the service's CA and submissions stay with this run.
source scripts/devserver-lib.sh
work="$(mktemp -d)"
trap 'stop_devserver; rm -rf "$work"' EXIT
start_devserver "$devserver" "$work"
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
