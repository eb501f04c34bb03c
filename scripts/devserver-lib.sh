# Sourced by scripts that need the development service on loopback for the
# length of their run. start_devserver EXECUTABLE WORKDIR [OPTIONS...] starts
# it with a data folder in WORKDIR (and any further options of its own) and
# sets server_pid, address (127.0.0.1:PORT) and ca;
# stop_devserver ends it. Returns non-zero, with the service's log on
# standard error, when it does not come up. start_scratch_devserver
# EXECUTABLE [OPTIONS...] does the same in a new temporary folder, `work`,
# and stops the service and removes the folder when the script exits.
server_pid=""
address=""
ca=""

start_devserver() {
  local executable="$1" work="$2"
  shift 2
  : >"$work/devserver.log"  # there before the first look at it
  "$executable" --port 0 --data-dir "$work/data" "$@" >"$work/devserver.log" 2>&1 &
  server_pid=$!
  for _ in $(seq 1 300); do
    address="$(sed -n 's|^Listening on https://\(127\.0\.0\.1:[0-9]*\).*|\1|p' "$work/devserver.log")"
    ca="$(sed -n 's|^CA certificate: ||p' "$work/devserver.log")"
    [[ -n "$address" && -n "$ca" ]] && return 0
    kill -0 "$server_pid" 2>/dev/null || break
    sleep 0.1
  done
  cat "$work/devserver.log" >&2
  echo "ekyc-devserver did not start" >&2
  return 1
}

start_scratch_devserver() {
  work="$(mktemp -d)"
  trap 'stop_devserver; rm -rf "$work"' EXIT
  start_devserver "$1" "$work" "${@:2}"
}

stop_devserver() {
  if [[ -n "$server_pid" ]]; then
    kill "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
    server_pid=""
  fi
}
