#!/usr/bin/env bash
# Pictures of the main window under an X server, for looking at by eye: at 1024 x 768 and 1280 x 1024,
# after a run of the demo folder, on the main and additional overviews, a chart alone, in Russian, with
# the left panel hidden and with no photos found; the time pages over sixty months (both languages, a linear
# axis, filtered by dates and night hours); the filter dialog in both languages and the summary of a
# long filter; the two crop dialogs. Also the whole X screen with the real program started
# and F5 pressed, as a person would. Writes build/screenshots/*.png.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target lumetra window_screenshots crop_dialog_screenshots lumetra-demo
output="$PWD/build/screenshots"
mkdir -p "$output"

for screen in 1024x768 1280x1024; do
  xvfb-run -a -s "-screen 0 ${screen}x24" build/release/tests/window_screenshots "$output" "$screen"
done
# The two crop dialogs, in both languages.
xvfb-run -a -s "-screen 0 1024x768x24" build/release/tests/crop_dialog_screenshots "$output"

# The real program at 1024 x 768, its folder tree sent to the demo folder by the settings file, F5 pressed.
# Crop-factor entry is off, so that no dialog for the demo's unknown cameras opens and takes F10; a program
# that does not end on F10 is stopped after ten seconds.
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
build/release/lumetra-demo "$home/demo-photos" >/dev/null
printf '%s\r\nEnglish\r\nReal\r\nText\r\nKF = no\r\nSubFolders\r\nNon Hide\r\n' "$home/demo-photos" >"$home/Lumetra.ini"
LUMETRA_HOME="$home" xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  build/release/lumetra & program=$!
  for _ in $(seq 50); do xdotool search --name "^Lumetra " >/dev/null 2>&1 && break; sleep 0.2; done
  sleep 1
  xdotool search --name "^Lumetra " windowfocus --sync key F5
  sleep 2
  import -window root "'"$output"'/real-1024x768-after-F5.png"
  xdotool key F10
  (sleep 10; kill $program 2>/dev/null) &
  wait $program' || true
echo "Screenshots: $output"
