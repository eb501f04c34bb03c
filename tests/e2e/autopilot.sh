#!/usr/bin/env bash
# One end-to-end run: the development service on loopback, then the demo's
# autopilot for one document kind against it. Passes only when the autopilot
# exits 0 (the host was told the session).
#   autopilot.sh DEVSERVER DEMO KIND SCREENSHOT_DIR [DEMO OPTIONS...]
set -euo pipefail
devserver="$1" demo="$2" kind="$3" shots="$4"
shift 4

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
for _ in $(seq 1 300); do
  address="$(sed -n 's|^Listening on https://\(127\.0\.0\.1:[0-9]*\).*|\1|p' "$work/devserver.log")"
  ca="$(sed -n 's|^CA certificate: ||p' "$work/devserver.log")"
  [[ -n "$address" && -n "$ca" ]] && break
  kill -0 "$server_pid" 2>/dev/null || break
  sleep 0.1
done
if [[ -z "$address" || -z "$ca" ]]; then
  cat "$work/devserver.log" >&2
  echo "e2e: ekyc-devserver did not start" >&2
  exit 1
fi

rm -rf "$shots"
mkdir -p "$shots"
# A private data folder: parallel runs keep their sessions apart. A phone's
# density: the photographs are cropped at it, and the service wants them large.
XDG_DATA_HOME="$work/home" QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=2 "$demo" --service "$address" --ca "$ca" --autopilot "$kind" --screenshots "$shots" "$@"
