#!/usr/bin/env bash
# Checks that includes follow the layers (scripts/layers.txt) and that the C++ files are formatted; sets up,
# builds the presets (release; debug with AddressSanitizer and UndefinedBehaviorSanitizer; tsan,
# the engine and command line with ThreadSanitizer, where photos are read on several threads) and runs
# every test in each; then drives the real program under Xvfb (tests/journey/journey.sh); last, makes the
# Debian package from the release build, checks it, installs it, uses it and removes it again.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
# The layers and the formatting first: both take a second.
scripts/check-includes.sh
scripts/check-format.sh
for preset in release debug tsan; do
  echo "=== $preset ==="
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  ctest --preset "$preset" -j2
done
# Last, a person's journey through the real program in an X server, with X input only.
tests/journey/journey.sh build/release
scripts/check-package.sh build/release
