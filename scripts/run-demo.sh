#!/usr/bin/env bash
# Sets up, builds, writes the built-in demo folder and shows what Lumetra reads from it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset release
cmake --build --preset release

demo_folder=build/demo-photos
build/release/lumetra-demo "$demo_folder"
find "$demo_folder" -type f -iname '*.jp*g' -print0 | sort -z | xargs -0 build/release/lumetra-cli tags
