#!/usr/bin/env bash
# Sets up, builds the presets (release; debug with AddressSanitizer and UndefinedBehaviorSanitizer; tsan,
# the engine and command line with ThreadSanitizer, where photos are read on several threads) and runs
# every test in each.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
for preset in release debug tsan; do
  echo "=== $preset ==="
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  ctest --preset "$preset" -j2
done
