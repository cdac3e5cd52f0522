#!/usr/bin/env bash
# Builds the Debian package from an existing release build and checks it as a distribution would: lintian
# (no errors), desktop-file-validate and appstreamcli validate; then installs it with apt-get, runs
# lumetra-cli, a survey of the demo folder and the window (started by its desktop entry's Exec line, under
# Xvfb) from /usr/bin as a user whose files go to the user's data folder, removes it with apt-get and checks
# that nothing of ours is left in /usr. Needs root or sudo. The screenshot and the lintian report are kept
# in build/package.
#   scripts/check-package.sh [BUILD_DIR]   (default build/release)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
out=$PWD/build/package
app_id=io.github.lumetra.Lumetra
sudo_cmd=()
[[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)

work=$(mktemp -d)
program_pid=
xvfb_pid=
finish() {
  [[ -n $program_pid ]] && kill "$program_pid" 2>/dev/null
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap finish EXIT
fail() {
  echo "check-package: FAILED: $*" >&2
  exit 1
}
say() { echo "check-package: [${SECONDS}s] $*"; }
wait_for() {
  local deadline=$((SECONDS + ${timeout:-20}))
  until "$@"; do
    ((SECONDS < deadline)) || return 1
    sleep 0.1
  done
}

say "the package"
package=$(scripts/package.sh "$build" | tail -n 1)
version=$(dpkg-deb --field "$package" Version)
dpkg-deb --field "$package" Package Version Installed-Size Depends Recommends

say "lintian"
# Lintian refuses nothing as root but says so on every run; its report is kept beside the package.
lintian --info --display-level '>=warning' --fail-on error "$package" 2>&1 |
  { grep -v 'running with root privileges' || true; } | tee "$out/lintian.txt" || fail "lintian found errors: $(grep '^E:' "$out/lintian.txt")"

say "the desktop entry and the AppStream data"
dpkg-deb --extract "$package" "$work/contents"
desktop-file-validate "$work/contents/usr/share/applications/$app_id.desktop" || fail "desktop-file-validate"
# --no-net: CI has no network to check the screenshot's and the home page's addresses.
appstreamcli validate --no-net "$work/contents/usr/share/metainfo/$app_id.metainfo.xml" || fail "appstreamcli"

say "install with apt-get"
# What /usr holds before, so that what the package leaves behind can be told from what was there.
find /usr -xdev | sort >"$work/usr-before"
"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$package" >"$work/apt-install.log" 2>&1 ||
  fail "apt-get install: $(tail -n 5 "$work/apt-install.log")"
dpkg -L lumetra | sort >"$work/ours"

# The installed programs run as a user without LUMETRA_HOME: their files go to the user's data folder.
home=$work/home
user_data=$home/.local/share/Lumetra
run_as_user() { env -u LUMETRA_HOME -u XDG_DATA_HOME HOME="$home" "$@"; }
mkdir -p "$home"

say "lumetra-cli --version from /usr/bin"
[[ $(run_as_user /usr/bin/lumetra-cli --version) == "lumetra-cli $version" ]] ||
  fail "lumetra-cli --version says '$(run_as_user /usr/bin/lumetra-cli --version)', the package is $version"

say "a survey of the demo folder, the same as the build's"
demo=$work/demo-photos
"$build/lumetra-demo" "$demo" >/dev/null
run_as_user /usr/bin/lumetra-cli survey --json "$demo" >"$work/installed.json" || fail "the installed survey"
mkdir -p "$work/build-home"
LUMETRA_HOME=$work/build-home "$build/lumetra-cli" survey --json "$demo" >"$work/built.json"
cmp -s "$work/installed.json" "$work/built.json" || fail "the installed survey differs from the build's"
[[ $(jq .processed "$work/installed.json") -gt 0 ]] || fail "the installed survey read no photo"
[[ -s $user_data/Lumetra_Crop.ini ]] || fail "no crop file in the user's data folder $user_data"
# The installed program draws the same chart pictures as the build: the same files, one per chart.
run_as_user /usr/bin/lumetra-cli survey --charts "$work/charts" "$demo" >/dev/null || fail "survey --charts"
LUMETRA_HOME=$work/build-home "$build/lumetra-cli" survey --charts "$work/built-charts" "$demo" >/dev/null
[[ $(ls "$work/charts") == "$(ls "$work/built-charts")" && -n $(ls "$work/charts") ]] ||
  fail "survey --charts wrote $(ls "$work/charts"), the build $(ls "$work/built-charts")"

say "the window, started by the desktop entry's Exec line, under Xvfb"
exec_line=$(sed -n 's/^Exec=//p' "/usr/share/applications/$app_id.desktop")
exec_line=${exec_line//%[a-zA-Z]/}  # field codes (%f, %U, ...) stand for files a desktop would pass
exec 5>"$work/display"
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 5>&-
timeout=10 wait_for test -s "$work/display" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
DISPLAY=":$(cat "$work/display")"
export DISPLAY
# A returning user's settings name the demo folder, so that Run (F5) surveys it.
printf '%s\r\nEnglish\r\nReal\r\nText\r\nKF = no\r\nSubFolders\r\nNon Hide\r\n' "$demo" >"$user_data/Lumetra.ini"
map=$work/widgets.tsv
shown() { [[ -f $map ]] && awk -F'\t' -v name="$1" '$1 == name { found = 1 } END { exit !found }' "$map"; }
# shellcheck disable=SC2086 # the Exec line is split into words as a desktop does
run_as_user LUMETRA_WIDGET_MAP="$map" QT_QPA_PLATFORM=xcb PATH=/usr/bin:/bin $exec_line >"$work/program.log" 2>&1 &
program_pid=$!
wait_for shown but_Run || fail "the window did not show: $(tail -n 5 "$work/program.log")"
window=$(xdotool search --sync --onlyvisible --name '^Lumetra ' | head -n 1)
xdotool windowfocus --sync "$window"
# A desktop ties the window to its menu entry (name, icon) by the entry's StartupWMClass.
wm_class=$(sed -n 's/^StartupWMClass=//p' "/usr/share/applications/$app_id.desktop")
xprop -id "$window" WM_CLASS | grep -qF "\"$wm_class\"" ||
  fail "the window's $(xprop -id "$window" WM_CLASS) does not name the entry's StartupWMClass $wm_class"
xdotool key F5
timeout=60 wait_for shown im_green || fail "no green light after F5: $(tail -n 5 "$work/program.log")"
import -window root "$out/installed-window.png"
xdotool key F10
timeout=20 wait_for bash -c "! kill -0 $program_pid 2>/dev/null" || fail "F10 did not end the program"
wait "$program_pid" || fail "the program ended with code $?: $(tail -n 5 "$work/program.log")"
program_pid=
head -n 1 "$user_data/Lumetra.ini" | grep -qF "$demo" || fail "the settings were not kept in $user_data"

say "remove with apt-get; nothing of ours left in /usr"
"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq lumetra >"$work/apt-remove.log" 2>&1 ||
  fail "apt-get remove: $(tail -n 5 "$work/apt-remove.log")"
find /usr -xdev | sort >"$work/usr-after"
left=$(comm -12 "$work/ours" "$work/usr-after" | comm -23 - "$work/usr-before" || true)
[[ -z $left ]] || fail "left in /usr after removal: $left"
# Paths new since the install that no package owns: files the programs wrote. The caches of the menu and
# of the icon theme are rebuilt by the desktop's own triggers, and the links of update-alternatives belong to
# the packages installed as recommended.
cat /var/lib/dpkg/info/*.list | sort -u >"$work/owned"
new_unowned=$(comm -13 "$work/usr-before" "$work/usr-after" | comm -23 - "$work/owned" |
  { grep -v -e '/mimeinfo\.cache$' -e '/icon-theme\.cache$' || true; } |
  while read -r path; do [[ $(readlink "$path") == /etc/alternatives/* ]] || echo "$path"; done)
[[ -z $new_unowned ]] || fail "new in /usr, owned by no package: $new_unowned"
[[ -s $user_data/Lumetra.ini ]] || fail "the removal took the user's data"

say "passed: $package, installed size $(dpkg-deb --field "$package" Installed-Size) KiB; the window in $out/installed-window.png"
