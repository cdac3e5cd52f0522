#!/usr/bin/env bash
# A survey of a large folder, page cache warm, against exiv2 and exiftool reading the same tags and
# against the floor of only reading each photo's first 64 KiB. The corpus JPEGs are linked COPIES times
# into sub-folders of a folder outside the repository, made once and reused. Prints photos per second,
# the ratio of lumetra-cli's rate to each command's, the peak resident memory of each, and the goals.
#
# Usage: bench/survey_peers.sh [PATH/TO/lumetra-cli]
#   Without an argument the build's lumetra-cli is used (LUMETRA_BUILD, default build/release).
# Environment:
#   LUMETRA_CORPUS     folder of photos (default: ../shared/corpus beside the repository)
#   LUMETRA_BUILD      build folder holding lumetra-cli and bench/read_floor (default: build/release)
#   LUMETRA_BENCH_DIR  where the photo folder is made (default: /tmp/lumetra-bench); never the repository
#   COPIES             sub-folders, one link to every corpus JPEG in each (default 190: 21,090 files)
#   EXIFTOOL_COPIES    the first sub-folders exiftool reads (default 20: 2,220 files; it reads about 200
#                      photos a second, so the whole folder would take minutes per run)
#   RUNS               rounds of timed runs, each command once per round (default 5)
set -euo pipefail

repo_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
runs="${RUNS:-5}"
copies="${COPIES:-190}"
exiftool_copies="${EXIFTOOL_COPIES:-20}"

script_name=survey_peers.sh
source "$repo_root/bench/common.sh"
source "$repo_root/bench/photo_folder.sh"

[[ "$runs" =~ ^[1-9][0-9]*$ ]] || die "RUNS must be a positive whole number, got '$runs'"
[[ "$exiftool_copies" =~ ^[1-9][0-9]*$ ]] || die "EXIFTOOL_COPIES must be a positive whole number, got '$exiftool_copies'"
((exiftool_copies <= copies)) || exiftool_copies="$copies"

resolve_build
resolve_cli "${1:-}"
resolve_corpus
resolve_bench_dir

work="$(mktemp -d)"
trap 'rm -rf -- "$work"' EXIT
source "$repo_root/bench/survey_tools.sh"

make_photo_folder "survey-$copies" "$copies" links
per_copy=$((photo_count / copies))
sample="$photos/folder000"
exiftool_folders=()
for ((copy = 0; copy < exiftool_copies; ++copy)); do exiftool_folders+=("$photos/$(printf 'folder%03d' "$copy")"); done

tools=(lumetra)
for tool in lumetra-1 lumetra-json exiv2 exiftool floor floor-1; do tool_available "$tool" && tools+=("$tool"); done

# Warm-up on one sub-folder: loads each program and its libraries (exiftool's Perl modules) and shows that
# every tool finds the photos. With hard links, one sub-folder is every file's data; with copies, the
# whole folder is read once. Listing the whole folder warms the directory entries.
for tool in "${tools[@]}"; do
  write_tool_command "$tool" "$sample" > "$work/$tool-sample.sh"
  bash "$work/$tool-sample.sh" > "$work/$tool-sample.out" 2> /dev/null || true
done
if [[ "$folder_kind" == hard* ]]; then
  find "$photos" > /dev/null
else
  find "$photos" -type f -exec cat {} + > /dev/null
fi

echo "Warm page cache: $photos"
echo "Files: $photo_count JPEGs in $copies sub-folders ($folder_kind); exiftool reads the first" \
  "$exiftool_copies sub-folders ($((per_copy * exiftool_copies)) files)"
echo "Sample check on $sample ($per_copy files):"
for tool in "${tools[@]}"; do
  case "$tool" in
    lumetra) echo "  lumetra-cli: $(sed -n 2p "$work/lumetra-sample.out") (files without exposure time, F-number, ISO" \
      "and focal length do not count)" ;;
    exiv2) echo "  exiv2: $(awk -F'  ' 'NF { print $1 }' "$work/exiv2-sample.out" | sort -u | wc -l) files with at least one of the tags" ;;
    exiftool) echo "  exiftool: $(grep -c '^========' "$work/exiftool-sample.out" || true) files listed" ;;
    floor) echo "  read_floor: $(cat "$work/floor-sample.out")" ;;
  esac
done
if [[ " ${tools[*]} " == *" exiv2 "* ]]; then
  echo "exiv2 processes per run (xargs batches): $(find "$photos" -type f -iname '*.jpg' -print0 | xargs -0 sh -c 'echo' sh | wc -l)"
fi
echo "lumetra-cli: $cli"
timing_line "$runs"
machine_line
echo

for tool in "${tools[@]}"; do
  if [[ "$tool" == exiftool ]]; then
    plan_tool exiftool "$((per_copy * exiftool_copies))" "${exiftool_folders[@]}"
  else
    plan_tool "$tool" "$photo_count" "$photos"
  fi
done
time_tools "$runs" "" "${tools[@]}"

echo "ratio = lumetra-cli survey (text) photos/s / the command's photos/s; above 1: lumetra-cli is faster"
print_tool_table "${tools[@]}"
echo
print_goals "Goals (photos/s ratios from this run):"
