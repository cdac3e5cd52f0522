#!/usr/bin/env bash
# Sets up, builds, writes the built-in demo folder and surveys it: counters and the fifteen tallies.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset release
cmake --build --preset release

demo_folder=build/demo-photos
build/release/lumetra-demo "$demo_folder"
# The program's own files (the crop file) go into build/, beside the demo folder.
LUMETRA_HOME="$PWD/build" build/release/lumetra-cli survey "$demo_folder"
