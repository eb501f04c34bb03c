#!/usr/bin/env bash
# One end-to-end run: the development service on loopback, then the demo's
# autopilot for one document kind against it. Passes only when the autopilot
# exits 0 (the host was told the session).
#   autopilot.sh DEVSERVER DEMO KIND SCREENSHOT_DIR [DEMO OPTIONS...]
set -euo pipefail
devserver="$1" demo="$2" kind="$3" shots="$4"
shift 4

source "$(dirname "$0")/../../scripts/devserver-lib.sh"
work="$(mktemp -d)"
trap 'stop_devserver; rm -rf "$work"' EXIT
start_devserver "$devserver" "$work"

rm -rf "$shots"
mkdir -p "$shots"
# A private data folder: parallel runs keep their sessions apart. A phone's
# density: the photographs are cropped at it, and the service wants them large.
XDG_DATA_HOME="$work/home" QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=2 "$demo" --service "$address" --ca "$ca" --autopilot "$kind" --screenshots "$shots" "$@"
