#!/usr/bin/env bash
# Fetches the two pictures the tests, the demo's autopilot and the benchmarks
# photograph: astronaut.png (a person's face) and chelsea.png (a cat, which
# no face detector may take for a person), from Debian's python3-skimage
# package, with the package's copyright file beside them. Only the package
# file is downloaded and unpacked; nothing is installed. Idempotent: the
# pictures already in place with the right checksums mean nothing to do and
# no network.
set -euo pipefail
cd "$(dirname "$0")/.."

folder=".deps/testdata"
pictures=(
  "88431cd9653ccd539741b555fb0a46b61558b301d4110412b5bc28b5e3ea6cb5  astronaut.png"
  "596aa1e7cb875eb79f437e310381d26b338a81c2da23439704a73c4651e8c4bb  chelsea.png"
)

present() {
  local entry
  for entry in "${pictures[@]}"; do
    echo "${entry%%  *}  $folder/${entry##*  }" | sha256sum --check --status 2>/dev/null || return 1
  done
}
present && exit 0

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if ! (cd "$work" && apt-get download python3-skimage >/dev/null 2>&1); then
  apt-get update >/dev/null
  (cd "$work" && apt-get download python3-skimage >/dev/null 2>&1) || {
    echo "fetch-testdata: could not download python3-skimage" >&2
    exit 1
  }
fi
dpkg-deb -x "$work"/python3-skimage_*.deb "$work/package"
data="$work/package/usr/lib/python3/dist-packages/skimage/data"
mkdir -p "$folder"
for entry in "${pictures[@]}"; do
  name="${entry##*  }"
  if ! echo "${entry%%  *}  $data/$name" | sha256sum --check --status; then
    echo "fetch-testdata: $name from python3-skimage does not have the expected checksum" >&2
    exit 1
  fi
  cp "$data/$name" "$folder/$name"
done
cp "$work/package/usr/share/doc/python3-skimage/copyright" "$folder/copyright"
echo "fetch-testdata: test pictures in $folder" >&2
