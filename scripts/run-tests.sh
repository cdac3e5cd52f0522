#!/usr/bin/env bash
# Sets up, builds both presets (release; debug with AddressSanitizer and UndefinedBehaviorSanitizer) and
# runs every test in each.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
for preset in release debug; do
  echo "=== $preset ==="
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  ctest --preset "$preset" -j2
done
