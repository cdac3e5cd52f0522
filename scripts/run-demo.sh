#!/usr/bin/env bash
# Sets up, builds, writes the built-in demo folder and surveys it: counters and the fifteen tallies, and the
# fourteen charts as tables and pictures in build/demo-charts.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset release
cmake --build --preset release

demo_folder=build/demo-photos
build/release/lumetra-demo "$demo_folder"
# The program's own files (the crop file) go into build/, beside the demo folder.
LUMETRA_HOME="$PWD/build" build/release/lumetra-cli survey --tables build/demo-charts --charts build/demo-charts \
  "$demo_folder"
echo "Chart tables and pictures: build/demo-charts"
