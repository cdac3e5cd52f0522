#!/usr/bin/env bash
# A person's journey through the real program: the built `lumetra` in an X server of its own (Xvfb,
# 1280 x 1024), driven only by X input (xdotool: keys, and clicks at the places of named controls), and
# checked by what a person would see and get. The places and texts of the controls come from the map the
# program keeps when LUMETRA_WIDGET_MAP is set. Every step leaves a screenshot in the output folder; a step
# that fails says which step it was and keeps its screenshot.
#
#   tests/journey/journey.sh [BUILD_DIR] [OUTPUT_DIR]     (defaults: build/release, BUILD_DIR/journey)
set -euo pipefail
cd "$(dirname "$0")/../.."
build=$(realpath "${1:-build/release}")
out=$(realpath -m "${2:-$build/journey}")
rm -rf "$out"
mkdir -p "$out"
for tool in Xvfb openbox xdotool xprop import identify jq; do
  command -v "$tool" >/dev/null || { echo "journey: $tool is not installed (scripts/install-deps.sh)"; exit 1; }
done

work=$(mktemp -d)
xvfb_pid=
wm_pid=
program_env=()
program_pid=
finish() {
  [[ -n $program_pid ]] && kill "$program_pid" 2>/dev/null
  [[ -n $wm_pid ]] && kill "$wm_pid" 2>/dev/null
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
  [[ -n ${links:-} && $links != "$work" ]] && rm -rf "$links"
}
trap finish EXIT

step_name="setting up"
shot_number=0
fail() {
  shot "failed"
  # What the program wrote and said, kept beside the screenshots.
  [[ -n ${home:-} && -d $home ]] && cp -r "$home" "$out/program-folder" 2>/dev/null
  cp "$work/program.log" "$out/" 2>/dev/null
  echo "journey FAILED at step '$step_name': $*" >&2
  echo "journey: screenshots in $out" >&2
  exit 1
}
step() {
  step_name=$1
  echo "journey: [${SECONDS}s] $step_name"
}
shot() {
  shot_number=$((shot_number + 1))
  import -display "$DISPLAY" -window root "$(printf '%s/%02d-%s.png' "$out" "$shot_number" "${1// /-}")" 2>/dev/null || true
}

# Polls `$@` every 0.1 s for up to `timeout` seconds (default 20): never a fixed sleep.
timeout=20
wait_for() {
  local deadline=$((SECONDS + timeout))
  until "$@"; do
    ((SECONDS < deadline)) || return 1
    sleep 0.1
  done
}

# The program's map: name, left, top, width, height, enabled, checked, text.
map="$work/widgets.tsv"
line_of() { [[ -f $map ]] && awk -F'\t' -v name="$1" '$1 == name { print; exit }' "$map"; }
field_of() { line_of "$1" | cut -f"$2"; }
text_of() { field_of "$1" 8; }
shown() { [[ -n $(line_of "$1") ]]; }
hidden() { ! shown "$1"; }
enabled() { [[ $(field_of "$1" 6) == 1 ]]; }
checked() { [[ $(field_of "$1" 7) == 1 ]]; }
text_is() { [[ $(text_of "$1") == "$2" ]]; }
width_of() { field_of "$1" 4; }

# A click in the middle of a named control (or at x/y inside it), as a person's mouse does.
click() {
  local name=$1 button=${2:-1} line x y w h
  wait_for shown "$name" || fail "no control $name on the screen"
  line=$(line_of "$name")
  IFS=$'\t' read -r _ x y w h _ <<<"$line"
  local px=$((x + ${3:-$((w / 2))})) py=$((y + ${4:-$((h / 2))}))
  xdotool mousemove --sync "$px" "$py" click "$button"
}
key() { xdotool key --clearmodifiers "$@"; }
type_text() { xdotool type --delay 30 "$1"; }

# The reference: the processed and the filtered count of lumetra-cli's survey of FOLDER with OPTIONS.
cli_counts() {
  local folder=$1
  shift
  "$build/lumetra-cli" survey --crop-file "$work/cli.crop" "$@" "$folder" |
    sed -n 's/^ \(Processed\|Filtered\) \([0-9]*\) photos.*/\2/p' | paste -sd' '
}

step "an X server at 1280 x 1024"
exec 5>"$work/display"
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 5>&-
timeout=10 wait_for test -s "$work/display" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(cat "$work/display")"
# A window manager, as on a person's desktop: it gives the keyboard back to the window when a dialog closes.
openbox --sm-disable >"$work/openbox.log" 2>&1 &
wm_pid=$!
wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
timeout=10 wait_for wm_ready || fail "openbox did not start: $(cat "$work/openbox.log")"

step "the demo folder, and a returning user's settings naming it"
demo="$work/demo-photos"
"$build/lumetra-demo" "$demo" >/dev/null
home="$work/home"
mkdir -p "$home"
printf '%s\r\nEnglish\r\nReal\r\nText\r\nKF = no\r\nSubFolders\r\nNon Hide\r\n' "$demo" >"$home/Lumetra.ini"

# Starts `program` (default: the build's lumetra) with its folder in $home, or with `program_env` instead.
start_program() {
  local program=${1:-$build/lumetra}
  rm -f "$map"
  env "${program_env[@]:-LUMETRA_HOME=$home}" LUMETRA_WIDGET_MAP="$map" QT_QPA_PLATFORM=xcb "$program" \
    >>"$work/program.log" 2>&1 &
  program_pid=$!
  wait_for shown but_Run || fail "the window did not show: $(tail -n 5 "$work/program.log")"
  # The window takes the keyboard, as after a click on its title.
  xdotool search --sync --onlyvisible --name '^Lumetra ' windowfocus --sync >/dev/null
}

step "start: the window on the demo folder, Run enabled"
start_program
wait_for enabled but_Run || fail "Run is not enabled on the demo folder"
shot "start"

step "F5: the run ends with the green light and the counts of lumetra-cli"
key F5
timeout=60 wait_for shown im_green || fail "no green light after F5"
read -r processed filtered <<<"$(cli_counts "$demo")"
wait_for text_is myStatusBar_Panel0 " Processed $processed photos with EXIF" ||
  fail "panel 0 says '$(text_of myStatusBar_Panel0)', lumetra-cli $processed"
text_is myStatusBar_Panel1 " Filtered $filtered photos" || fail "panel 1 says '$(text_of myStatusBar_Panel1)'"
shot "after F5"

step "the filter: a click on its box, exposure 1/250 to 1/60, Enter"
click Filter_Box
wait_for shown Form_Filter || fail "the filter dialog did not open"
click ed_from1
type_text "1/250"
click ed_to1
type_text "1/60"
wait_for text_is ed_to1 "1/60" || fail "ed_to1 holds '$(text_of ed_to1)'"
shot "filter dialog"
key Return
wait_for hidden Form_Filter || fail "Apply did not close the dialog"
read -r _ bounded <<<"$(cli_counts "$demo" --exposure 1/250:1/60)"
wait_for text_is myStatusBar_Panel1 " Filtered $bounded photos" ||
  fail "panel 1 says '$(text_of myStatusBar_Panel1)', lumetra-cli with the bound $bounded"
text_is lb_ShutterSpeed "Exposure from 1/250sec to 1/60sec" || fail "the summary says '$(text_of lb_ShutterSpeed)'"
shot "filtered"

step "the filter: a date range typed into the dialog's date boxes, then cleared again"
click Filter_Box
wait_for shown Form_Filter || fail "the filter dialog did not open"
click ed_from5
type_text "2008-01-01"
click ed_to5
type_text "2012-12-31"
wait_for text_is ed_to5 "2012-12-31" || fail "ed_to5 holds '$(text_of ed_to5)'"
shot "filter dialog with dates"
key Return
wait_for hidden Form_Filter || fail "Apply did not close the dialog"
read -r _ dated <<<"$(cli_counts "$demo" --exposure 1/250:1/60 --date 2008-01-01:2012-12-31)"
((dated > 0 && dated < bounded)) || fail "lumetra-cli admits $dated of $bounded photos in the date range"
wait_for text_is myStatusBar_Panel1 " Filtered $dated photos" ||
  fail "panel 1 says '$(text_of myStatusBar_Panel1)', lumetra-cli with the dates $dated"
text_is lb_Date "Date from 2008-01-01 to 2012-12-31" || fail "the summary says '$(text_of lb_Date)'"
shot "filtered by dates"
click Filter_Box
wait_for shown Form_Filter || fail "the filter dialog did not open again"
for box in ed_from5 ed_to5; do
  click "$box"
  key ctrl+a BackSpace
  wait_for text_is "$box" "" || fail "$box still holds '$(text_of "$box")'"
done
key Return
wait_for hidden Form_Filter || fail "Apply did not close the dialog"
wait_for text_is myStatusBar_Panel1 " Filtered $bounded photos" ||
  fail "panel 1 says '$(text_of myStatusBar_Panel1)' after the dates were cleared, not $bounded"
wait_for hidden lb_Date || fail "the summary still names a date range"

step "Russian with its radio button"
click rb_Rus
russian_count() { [[ $(text_of myStatusBar_Panel1) =~ ^" Отфильтровано $bounded фотографи"(я|и|й)$ ]]; }
wait_for russian_count || fail "panel 1 says '$(text_of myStatusBar_Panel1)'"
text_is lb_ShutterSpeed "Выдержка от 1/250с до 1/60с" || fail "the summary says '$(text_of lb_ShutterSpeed)'"
shot "russian"

step "F4 hides the left panel"
key F4
wait_for hidden but_Run || fail "the left panel is still shown"
shot "panel hidden"

step "a click on the exposure chart shows it alone"
overview_width=$(width_of Chart_ShutterSpeed)
click Chart_ShutterSpeed
wait_for shown Chart_ShutterSpeed || fail "the exposure chart is gone"
wait_for test "$(width_of Chart_ShutterSpeed)" -gt "$((overview_width * 3 / 2))" ||
  fail "the chart is $(width_of Chart_ShutterSpeed) wide, on the overview it was $overview_width"
shot "chart alone"

# Saves the shown chart through its menu item `item` and the file dialog, under `name`.
save_chart() {
  local item=$1 name=$2
  click Chart_ShutterSpeed 3
  wait_for shown "$item" || fail "the chart's menu did not open"
  wait_for enabled "$item" || fail "$item is disabled"
  shot "chart menu"
  click "$item"
  wait_for shown fileNameEdit || fail "no file dialog"
  click fileNameEdit
  type_text "$name"
  shot "file dialog"
  key Return
  wait_for hidden fileNameEdit || fail "the file dialog stayed open"
}

step "right button on the chart: saved as JPEG through the file dialog"
save_chart mSaveJPEG "$work/exposure"
wait_for test -s "$work/exposure.jpg" || fail "no $work/exposure.jpg"
picture=$(identify -format '%m %w %h %[interlace]' "$work/exposure.jpg")
[[ $picture == "JPEG 2000 1000 None" ]] || fail "the picture is '$picture', not a baseline JPEG of 2000 x 1000"

step "right button on the chart: saved as TXT, the table of lumetra-cli"
save_chart mSaveTXT "$work/exposure.TXT"
wait_for test -s "$work/exposure.TXT" || fail "no $work/exposure.TXT"
"$build/lumetra-cli" survey --crop-file "$work/cli.crop" --lang ru --exposure 1/250:1/60 --tables "$work/cli-tables" \
  "$demo" >/dev/null
cmp "$work/exposure.TXT" "$work/cli-tables/Exposure.txt" || fail "the table differs from lumetra-cli's"

step "right button on a bar: \"Only\" that exposure, the counts of lumetra-cli; Backspace takes it back"
# Along the chart at 70 % of its height, until the pointer is over a bar (the menu's "Only" acts).
read -r _ _ _ chart_w chart_h _ <<<"$(line_of Chart_ShutterSpeed)"
only_label=""
for share in 50 40 60 30 70 20 80; do
  click Chart_ShutterSpeed 3 $((chart_w * share / 100)) $((chart_h * 7 / 10))
  wait_for shown mOnly || fail "the chart's menu did not open"
  if enabled mOnly; then
    only_label=$(text_of mOnly | sed -n 's/^Только «\(.*\)»$/\1/p')
    break
  fi
  key Escape
  wait_for hidden mOnly || fail "the chart's menu stayed open"
done
[[ -n $only_label ]] || fail "no bar of the exposure chart offered \"Only\" (last caption '$(text_of mOnly)')"
shot "chart menu only"
click mOnly
read -r _ only_count <<<"$(cli_counts "$demo" --exposure "$only_label:$only_label")"
only_russian() { [[ $(text_of myStatusBar_Panel1) =~ ^" Отфильтровано $only_count фотографи"(я|и|й)$ ]]; }
wait_for only_russian || fail "panel 1 says '$(text_of myStatusBar_Panel1)', lumetra-cli with $only_label: $only_count"
shot "only one exposure"
key BackSpace
wait_for russian_count || fail "after Backspace panel 1 says '$(text_of myStatusBar_Panel1)', not $bounded"
shot "previous filter"

step "F6: a link in TEMP for every filtered photo"
key F6
timeout=20 wait_for test -d "$home/TEMP" || fail "no TEMP folder"
wait_for test "$(find "$home/TEMP" -name '*.lnk' | wc -l)" -eq "$bounded" ||
  fail "$(find "$home/TEMP" -name '*.lnk' | wc -l) links in TEMP, $bounded photos filtered"
# Each link leads to a photo of the folder whose exposure is one of the filtered ones.
"$build/lumetra-cli" survey --crop-file "$work/cli.crop" --json --exposure 1/250:1/60 "$demo" >"$work/bounded.json"
jq -r '[.tallies.shutter[][0]] as $kept | .records[] | select(.exposure as $e | $kept | index($e)) | .path' \
  "$work/bounded.json" | sort >"$work/admitted"
find "$home/TEMP" -name '*.lnk' -exec readlink -f {} + | sort >"$work/linked"
[[ $(sort -u "$work/linked" | wc -l) -eq $bounded ]] || fail "two links lead to the same photo"
missing=$(comm -23 "$work/linked" "$work/admitted")
[[ -z $missing ]] || fail "links to photos the filter does not admit: $missing"
shot "after F6"
# The folder may have opened in a file manager, or a message says where the links are.
close_message() { shown qt_msgbox_label && key Return; return 0; }
wait_for close_message

step "F7: the first camera's crop factor typed in the editor, Save"
key F7
wait_for shown "NG_All:0:2" || fail "the crop editor did not open"
camera="$(text_of "NG_All:0:0")"$'\t'"$(text_of "NG_All:0:1")"
shot "crop editor"
line=$(line_of "NG_All:0:2")
IFS=$'\t' read -r _ x y w h _ <<<"$line"
xdotool mousemove --sync $((x + w / 2)) $((y + h / 2)) click --repeat 2 1
wait_for shown ed_Factor || fail "no editor in the factor cell"
key ctrl+a
type_text "1.7"
key Return
wait_for text_is "NG_All:0:2" "1.7" || fail "the cell shows '$(text_of "NG_All:0:2")'"
wait_for enabled but_Save || fail "Save is not enabled after the edit"
click but_Save
wait_for hidden NG_All:0:0 || fail "Save did not close the editor"
shot "after F7"

step "F8: RAW and HEIC files included from the keyboard, kept at exit"
key F8

step "F10: the program ends and writes its settings and crop file whole"
key F10
timeout=20 wait_for bash -c "! kill -0 $program_pid 2>/dev/null" || fail "the program is still running"
program_pid=
settings=$(tr -d '\r' <"$home/Lumetra.ini")
expected=$(printf '%s\nRussian\nReal\nText\nKF = no\nSubFolders\nNon Hide\nAll formats\nRemember photos' "$demo")
[[ $settings == "$expected" ]] || fail "Lumetra.ini holds: $settings"
# The crop file: the built-in list lumetra-cli wrote, with the one camera's factor changed and every other
# line as it was, in its place.
[[ $(diff <(cat "$work/cli.crop") <(cat "$home/Lumetra_Crop.ini") | grep -c '^[<>]') -eq 2 ]] ||
  fail "the saved crop file changed more than the edited camera's line"
records() { tr -d '\r' <"$1" | awk -F'\t' '{ printf "%s\t%s\t%g\n", $1, $2, $3 + 0 }' | sort; }
crop_changes() { diff <(records "$work/cli.crop") <(records "$home/Lumetra_Crop.ini") | grep '^[<>]' || true; }
[[ $(crop_changes | wc -l) -eq 2 ]] ||
  fail "the crop file differs from the built-in list in more than one camera: $(crop_changes | head)"
changed=$(crop_changes | grep '^>')
[[ $changed == "> $camera"$'\t'"1.7" ]] || fail "the changed record is '$changed'"
grep -q $'\r$' "$home/Lumetra_Crop.ini" || fail "the crop file's lines do not end in CR LF"


# What a person may do that the window must survive. Each starts the program again.
fresh_home() {
  home="$work/home-$1"
  mkdir -p "$home"
  printf '%s\r\nEnglish\r\nReal\r\nText\r\nKF = no\r\nSubFolders\r\nNon Hide\r\n' "$2" >"$home/Lumetra.ini"
}
ended() { ! kill -0 "$program_pid" 2>/dev/null; }
end_program() {
  key F10
  timeout=30 wait_for ended || fail "the program did not end on F10"
  program_pid=
}

step "a folder of 71,680 photos (links to the demo photos), for runs that last"
# On a memory file system where there is one: 143,000 entries are made in a second there.
links="$work"
[[ -d /dev/shm && -w /dev/shm ]] && links=$(mktemp -d -p /dev/shm lumetra-journey.XXXXXX)
many="$links/many"
mkdir -p "$many"
cp -rs "$demo" "$many/a"
for copy in $(seq 1 11); do
  cp -R "$many" "$links/next"
  mv "$links/next" "$many/b$copy"
done
read -r many_count _ <<<"$(cli_counts "$many")"
[[ $many_count -eq 71680 ]] || fail "lumetra-cli counts $many_count photos in the large folder"

step "F5 pressed twice quickly: one run, counted once"
fresh_home twice "$many"
start_program
key F5 F5
timeout=120 wait_for shown im_green || fail "no green light"
wait_for text_is myStatusBar_Panel0 " Processed $many_count photos with EXIF" ||
  fail "panel 0 says '$(text_of myStatusBar_Panel0)', lumetra-cli $many_count"
shot "F5 twice"

step "a run stopped at once: the red light, no charts, the window ready again"
key F5 Escape
timeout=60 wait_for shown im_red || fail "no red light after a stopped run"
wait_for enabled but_Run || fail "Run is not enabled again"
wait_for shown im_NoPhotoEng || fail "no no-photos picture after a stopped run"
shot "stopped"
end_program

step "the window closed during a run: the walk stops and the settings are written"
fresh_home closed "$many"
printf '%s\r\nRussian\r\nReal\r\nText\r\nKF = no\r\nSubFolders\r\nNon Hide\r\n' "$many" >"$home/Lumetra.ini"
start_program
key F5
timeout=60 wait_for shown but_Stop || fail "the run was not seen going"
key alt+F4
timeout=60 wait_for ended || fail "the program did not end when its window was closed during a run"
program_pid=
[[ $(tr -d '\r' <"$home/Lumetra.ini") == "$(printf '%s\nRussian\nReal\nText\nKF = no\nSubFolders\nNon Hide\nJPEG only\nRemember photos' "$many")" ]] ||
  fail "Lumetra.ini holds: $(cat "$home/Lumetra.ini")"

step "the chosen folder removed before Run: a message, and the window goes on"
gone="$work/gone"
cp -rs "$demo" "$gone"
fresh_home gone "$gone"
start_program
rm -rf "$gone"
key F5
wait_for shown qt_msgbox_label || wait_for hidden but_Run || true
shot "folder removed"
if shown qt_msgbox_label; then key Return; fi
wait_for hidden qt_msgbox_label || fail "the message did not close"
wait_for shown im_red || fail "no red light"
enabled but_Run && fail "Run is still enabled for a folder that is gone"
end_program

step "folders and files a run passed over: counted on the status bar, listed with their reasons by F9 and by a click"
# Entries no run can read, for root too: links to virtual file systems; for other users also a closed
# sub-folder and a closed photo.
passed="$work/passed-over"
cp -r "$demo" "$passed"
ln -s /proc "$passed/proc"
ln -s /sys "$passed/sys"
if [[ $(id -u) != 0 ]]; then
  mkdir "$passed/closed"
  cp "$(find "$demo" -name '*.jpg' -print -quit)" "$passed/closed.jpg"
  chmod 000 "$passed/closed" "$passed/closed.jpg"
fi
cli_skipped=$("$build/lumetra-cli" survey --crop-file "$work/cli.crop" "$passed" 2>&1 >/dev/null |
  sed -n 's/^lumetra-cli survey: not read: //p')
skipped_count=$(grep -c . <<<"$cli_skipped")
((skipped_count >= 2)) || fail "lumetra-cli lists $skipped_count items not read"
fresh_home passed "$passed"
start_program
hidden myStatusBar_Skipped || fail "a note of items not read before any run"
key F5
timeout=60 wait_for shown im_green || fail "no green light"
wait_for text_is myStatusBar_Skipped "Not read: $skipped_count" ||
  fail "the note says '$(text_of myStatusBar_Skipped)', lumetra-cli lists $skipped_count"
shot "items not read noted"
key F9
wait_for shown SkippedItems_Table:0:0 || fail "F9 did not list the items not read"
listed=$(for ((row = 0; row < skipped_count; row++)); do
  printf '%s: %s\n' "$(text_of "SkippedItems_Table:$row:0")" "$(text_of "SkippedItems_Table:$row:1")"
done)
[[ $listed == "$cli_skipped" ]] || fail "the list holds: $listed; lumetra-cli: $cli_skipped"
shot "items not read listed"
key Escape
wait_for hidden SkippedItems_Table:0:0 || fail "Escape did not close the list"
click myStatusBar_Skipped
wait_for shown SkippedItems_Table:0:0 || fail "a click on the note did not list the items"
click but_Close
wait_for hidden SkippedItems_Table:0:0 || fail "Close did not close the list"
end_program
[[ $(id -u) != 0 ]] && chmod 755 "$passed/closed" && chmod 644 "$passed/closed.jpg"

step "a read-only program folder: settings and crop file in the user's data folder, no error"
if mkdir -p "$work/installed" && cp "$build/lumetra" "$work/installed/" &&
  mount --bind "$work/installed" "$work/installed" 2>/dev/null &&
  mount -o remount,bind,ro "$work/installed" 2>/dev/null; then
  user_data="$work/user/.local/share/Lumetra"
  program_env=(-u LUMETRA_HOME -u XDG_DATA_HOME HOME="$work/user")
  start_program "$work/installed/lumetra"
  shot "read-only program folder"
  # A message about the files would keep the program from ending.
  end_program
  program_env=()
  umount "$work/installed"
  [[ -s $user_data/Lumetra.ini && -s $user_data/Lumetra_Crop.ini ]] ||
    fail "no settings or crop file in $user_data: $(ls -A "$user_data" 2>&1)"
  [[ $(ls -A "$work/installed") == lumetra ]] || fail "files written beside the program: $(ls -A "$work/installed")"
else
  echo "journey: skipped, a read-only folder cannot be made here (bind mounts need root)"
  umount "$work/installed" 2>/dev/null || true
fi

echo "journey: passed; screenshots in $out"
