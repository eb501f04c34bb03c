#!/usr/bin/env bash
# One end-to-end run: the development service on loopback, then the demo's
# autopilot for one document kind against it. Passes only when the autopilot
# exits 0 (the host was told the session).
#   autopilot.sh DEVSERVER DEMO KIND SCREENSHOT_DIR [DEMO OPTIONS...]
set -euo pipefail
devserver="$1" demo="$2" kind="$3" shots="$4"
shift 4

source "$(dirname "$0")/../../scripts/devserver-lib.sh"
# The service refuses a card photograph narrower than an ID-1 card scanned at
# 300 dpi, or one the card fills less than 80 % of: every photograph of the
# walk must be one a reader can use.
start_scratch_devserver "$devserver" --min-card-width 1011

rm -rf "$shots"
mkdir -p "$shots"
# A private data folder: parallel runs keep their sessions apart. A screen
# of pixel ratio 1, as desktops and kiosks have: photographs keep the
# camera's pixels whatever the screen.
XDG_DATA_HOME="$work/home" QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=1 "$demo" --service "$address" --ca "$ca" --autopilot "$kind" --screenshots "$shots" "$@"
