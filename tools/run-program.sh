#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it (optionally with an image).
set -euo pipefail
# An image named relative to the caller's folder is found from there, not from ours.
args=()
for a in "$@"; do
  if [[ $a == /* ]]; then args+=("$a"); else args+=("$PWD/$a"); fi
done
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target veltrum
exec ./build/veltrum "${args[@]}"
