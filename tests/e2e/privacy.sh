#!/usr/bin/env bash
# The whole flow with recognisable ("canary") values wherever the host or the
# service can put them: every identity field the service reads from the
# document, the text the autopilot types, the "appID" header. None of them,
# nor the session identifier, may show in the library's log or anywhere on
# the demo's standard error or output. Meanwhile e2e_photo_watch watches the
# demo's home, data, cache, configuration and temporary folders: photographs
# may exist only in the library's capture folder, 0600, and not after the run
# (the autopilot also checks the folder is empty after every upload).
#   privacy.sh DEVSERVER DEMO PHOTO_WATCH KIND SCREENSHOT_DIR [DEMO OPTIONS...]
set -euo pipefail
devserver="$1" demo="$2" watch="$3" kind="$4" shots="$5"
shift 5

source "$(dirname "$0")/../../scripts/devserver-lib.sh"
work="$(mktemp -d)"
trap 'stop_devserver; rm -rf "$work"' EXIT

app="CANARY-APP-5d1c"
typed="CANARY-TYPED-4c61"
# Every field a document's form can have, with a value its kind allows:
# numbers are digits, dates dd/MM/yyyy, countries from the service's list.
# The gender alone cannot carry one: it is "Nam" or "Nữ".
identity=(
  documentNumber=CANARY-DOCNO-91e2 fullName=CANARY-NAME-7f3a placeOfOrigin=CANARY-ORIGIN-2b8d
  placeOfResidence=CANARY-HOME-c4e7 licenceClass=CANARY-CLASS-0a9f passportType=CANARY-PTYPE-6e3b
  placeOfBirth=CANARY-BIRTHPLACE-8d2a previousIdNumber=7305198426 yearOfPassing=30571946
  personalNumber=062091738451 dateOfBirth=17/03/1961 dateOfIssue=04/11/2019 dateOfExpiry=23/06/2041
  nationality=Tuvalu issuingCountry=Kiribati
)
canaries=("$app" "$typed")
service_options=(--app-id "$app")
for pair in "${identity[@]}"; do
  canaries+=("${pair#*=}")
  service_options+=(--identity "$pair")
done
start_devserver "$devserver" "$work" "${service_options[@]}"

# Every folder the demo may write to lies in one watched tree.
home="$work/home"
mkdir -p "$home"/{data,cache,config,tmp,runtime}
chmod 700 "$home/runtime"
bundle="$(sed -n 's/.*"CFBundleIdentifier": *"\([^"]*\)".*/\1/p' "$(dirname "$demo")/Info.json")"
rm -rf "$shots"
mkdir -p "$shots"
status=0
env HOME="$home" XDG_DATA_HOME="$home/data" XDG_CACHE_HOME="$home/cache" XDG_CONFIG_HOME="$home/config" \
  XDG_RUNTIME_DIR="$home/runtime" TMPDIR="$home/tmp" QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=2 \
  "$watch" "$home" "$home/data/$bundle/KYC" -- \
  "$demo" --service "$address" --ca "$ca" --app-id "$app" --autopilot "$kind" --screenshots "$shots" \
  --autopilot-text "$typed" "$@" >"$work/stdout" 2>"$work/stderr" || status=$?
cat "$work/stdout"

failed=0
fail() {
  echo "privacy: $*" >&2
  failed=1
}
[[ $status -eq 0 ]] || fail "the autopilot or the photograph watch failed (status $status)"
grep -q '^\[Networking\]: .* Headers: \[' "$work/stderr" || fail "no log of the library on standard error"
session="$(sed -n 's/^autopilot ([^)]*): verified, session \([^;]*\);.*/\1/p' "$work/stdout")"
[[ -n "$session" ]] || fail "the autopilot reported no session"

# The canaries travelled: the service recorded those of this document's form.
submitted=0
for canary in "${canaries[@]}"; do
  grep -q -F -- "$canary" "$work/data/submissions.jsonl" 2>/dev/null && submitted=$((submitted + 1))
done
# Every form has a date of issue and an issuing country, which the autopilot leaves alone.
for canary in "$app" "$typed" 04/11/2019 Kiribati; do
  grep -q -F -- "$canary" "$work/data/submissions.jsonl" 2>/dev/null || fail "\"$canary\" never reached the service"
done

found=0
for canary in "${canaries[@]}" ${session:+"$session"}; do
  if grep -n -F -- "$canary" "$work/stderr"; then
    fail "\"$canary\" is on standard error (the log)"
    found=$((found + 1))
  fi
  # The host itself prints the session it was told; nothing else may show.
  if [[ "$canary" != "$session" ]] && grep -n -F -- "$canary" "$work/stdout"; then
    fail "\"$canary\" is on standard output"
    found=$((found + 1))
  fi
done
echo "privacy ($kind): ${#canaries[@]} canaries planted, $submitted in the submission the service recorded;" \
  "$(grep -c '' "$work/stderr") lines of standard error searched, canaries found: $found"
exit "$failed"
