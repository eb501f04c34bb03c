#!/usr/bin/env bash
# The example host (examples/host), built against the installed package,
# walked through a whole verification against the development service.
#   host-walk.sh DEVSERVER DEMO WALKER HOST SCREENSHOT_DIR
# HOST, the example program itself, is first asked its version and given a
# setting the library refuses, which it must report before showing anything.
# The camera media are frames the service accepts: the demo's autopilot
# walks the flow once in a window of the host panel's size and saves the
# frames that held the card in the card window and the face in the circle
# (--save-scenes); the walker's file camera then plays them.
set -euo pipefail
devserver="$1" demo="$2" walker="$3" host="$4" shots="$5"
panel=390x720

source "$(dirname "$0")/../../scripts/devserver-lib.sh"
start_scratch_devserver "$devserver" --min-card-width 1011
export QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=1
rm -rf "$shots"

version="$("$host" --version)"
[[ "$version" =~ ^ovira-host\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || { echo "host-walk: ovira-host --version: $version" >&2; exit 1; }
status=0
refusal="$(XDG_DATA_HOME="$work/host-home" "$host" --service "" --ca "$ca" 2>&1)" || status=$?
[[ $status -eq 2 && "$refusal" == *serviceHost* ]] ||
  { echo "host-walk: ovira-host took an empty service host (exit $status): $refusal" >&2; exit 1; }
XDG_DATA_HOME="$work/demo-home" "$demo" --service "$address" --ca "$ca" --language en --window "$panel" \
  --autopilot idCard --screenshots "$work/demo-shots" --save-scenes "$work/scenes" >"$work/demo.log" 2>&1 ||
  { cat "$work/demo.log" >&2; echo "host-walk: the demo could not make the camera scenes" >&2; exit 1; }

XDG_DATA_HOME="$work/host-home" "$walker" --service "$address" --ca "$ca" --panel "$panel" \
  --card "$work/scenes/card.png" --face "$work/scenes/face.png" --screenshots "$shots"
