#!/usr/bin/env bash
# Sets up, builds, writes the built-in demo folder and opens Lumetra with its folder tree on it: press F5 for
# the charts. Without a display, surveys the demo folder instead: the counters and the fifteen tallies, and
# the fourteen charts as tables and pictures in build/demo-charts.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset release
cmake --build --preset release

demo_folder="$PWD/build/demo-photos"
build/release/lumetra-demo "$demo_folder"
# The program's own files (settings, crop file) go into build/lumetra-home, beside the demo folder.
home="$PWD/build/lumetra-home"
mkdir -p "$home"

if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]]; then
  # As a returning user would have it: the settings file names the demo folder as the last one chosen; the
  # other six lines are kept from an earlier start.
  settings="$home/Lumetra.ini"
  rest=$'English\r\nReal\r\nText\r\nKF = yes\r\nSubFolders\r\nNon Hide\r\n'
  [[ -f "$settings" ]] && rest=$(tail -n +2 "$settings"; printf x) && rest=${rest%x}
  printf '%s\r\n%s' "$demo_folder" "$rest" >"$settings"
  echo "Opening Lumetra on $demo_folder: press F5 for the charts."
  exec env LUMETRA_HOME="$home" build/release/lumetra
fi

echo "No display: surveying the demo folder without the window."
LUMETRA_HOME="$home" build/release/lumetra-cli survey --tables build/demo-charts --charts build/demo-charts \
  "$demo_folder"
echo "Chart tables and pictures: build/demo-charts"
