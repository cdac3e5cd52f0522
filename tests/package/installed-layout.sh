#!/usr/bin/env bash
# `cmake --install` of a build into a fresh prefix: every file a desktop and `man` look for is where they
# look, and the installed programs keep their files in the user's data folder, never beside themselves.
#   installed-layout.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "installed-layout: $*" >&2
  exit 1
}

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
app_id=io.github.lumetra.Lumetra
expected=(
  bin/lumetra bin/lumetra-cli bin/lumetra-cli-charts
  "share/applications/$app_id.desktop" "share/metainfo/$app_id.metainfo.xml"
  "share/icons/hicolor/scalable/apps/$app_id.svg"
  share/man/man1/lumetra.1 share/man/man1/lumetra-cli.1 share/man/man1/lumetra-cli-charts.1
)
for size in 16 24 32 48 64 128 256; do expected+=("share/icons/hicolor/${size}x${size}/apps/$app_id.png"); done
for file in "${expected[@]}"; do [[ -s $prefix/$file ]] || fail "$file is not installed"; done
for program in lumetra lumetra-cli lumetra-cli-charts; do
  [[ -x $prefix/bin/$program ]] || fail "bin/$program is not executable"
done
# Nothing else: no tests, benchmarks or fixture programs in a user's prefix.
unexpected=$(cd "$prefix" && find . -type f | sed 's|^\./||' | sort | comm -23 - <(printf '%s\n' "${expected[@]}" | sort))
[[ -z $unexpected ]] || fail "installed beyond the list: $unexpected"

# Each PNG has the size its folder names.
for size in 16 24 32 48 64 128 256; do
  png=$prefix/share/icons/hicolor/${size}x${size}/apps/$app_id.png
  [[ $(od -An -tu1 -j16 -N8 "$png" | awk '{ print $3 * 256 + $4 "x" $7 * 256 + $8 }') == "${size}x${size}" ]] ||
    fail "$png is not ${size}x${size}"
done

# The installed programs, run by a user without LUMETRA_HOME, from a prefix they may write to.
home=$work/home
"$build/lumetra-demo" "$work/demo" >/dev/null
env -u LUMETRA_HOME -u XDG_DATA_HOME HOME="$home" "$prefix/bin/lumetra-cli" survey "$work/demo" >/dev/null ||
  fail "the installed lumetra-cli could not survey the demo folder"
[[ -s $home/.local/share/Lumetra/Lumetra_Crop.ini ]] || fail "no crop file in the user's data folder"
[[ $(ls -A "$prefix/bin" | sort | paste -sd' ') == "lumetra lumetra-cli lumetra-cli-charts" ]] ||
  fail "files written beside the installed programs: $(ls -A "$prefix/bin")"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[[ $("$prefix/bin/lumetra-cli" --version) == "lumetra-cli $version" ]] ||
  fail "lumetra-cli --version says '$("$prefix/bin/lumetra-cli" --version)'"
echo "installed-layout: passed"
