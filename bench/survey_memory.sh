#!/usr/bin/env bash
# Peak memory of a survey of a large library: `lumetra-cli survey` (text) over at least PHOTOS files,
# hard links to the corpus JPEGs made in seconds outside the repository, against the same survey of one
# sub-folder (111 files), so that what each stored photo costs shows as the difference. The links are
# deleted at the end unless KEEP=1.
#
# Usage: bench/survey_memory.sh [PATH/TO/lumetra-cli]
# Environment:
#   LUMETRA_CORPUS, LUMETRA_BUILD, LUMETRA_BENCH_DIR  as for survey_peers.sh
#   PHOTOS  files in the library, rounded up to whole sub-folders (default 100000)
#   RUNS    timed runs (default 3); the peak is the largest of them
#   KEEP    1: keep the links for the next run
set -euo pipefail

repo_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
runs="${RUNS:-3}"
wanted="${PHOTOS:-100000}"

script_name=survey_memory.sh
source "$repo_root/bench/common.sh"
source "$repo_root/bench/photo_folder.sh"

[[ "$runs" =~ ^[1-9][0-9]*$ ]] || die "RUNS must be a positive whole number, got '$runs'"
[[ "$wanted" =~ ^[1-9][0-9]*$ ]] || die "PHOTOS must be a positive whole number, got '$wanted'"

resolve_build
resolve_cli "${1:-}"
resolve_corpus
resolve_bench_dir
list_corpus_jpegs
per_copy=${#corpus_files[@]}
copies=$(((wanted + per_copy - 1) / per_copy))

work="$(mktemp -d)"
name="survey-$copies"
cleanup() {
  rm -rf -- "$work"
  [[ "${KEEP:-0}" == 1 ]] || remove_photo_folder "$name"
}
trap cleanup EXIT
source "$repo_root/bench/survey_tools.sh"

make_photo_folder "$name" "$copies" links
# One untimed survey of a sub-folder loads the program and reads every file's data into the page cache.
write_tool_command lumetra "$photos/folder000" > "$work/sample.sh"
/usr/bin/time -f %M -o "$work/sample.rss" bash "$work/sample.sh" > "$work/sample.out"
find "$photos" > /dev/null

echo "Library: $photos"
echo "Files: $photo_count JPEGs in $copies sub-folders ($folder_kind)"
echo "lumetra-cli: $cli"
echo "Peak RSS: /usr/bin/time %M, largest of $runs runs"
machine_line
echo

plan_tool lumetra "$photo_count" "$photos"
time_tools "$runs" "" lumetra
# One more run for its counts (the timed runs discard their output).
bash "$work/lumetra.sh" > "$work/library.out"
sed -n 2,3p "$work/library.out" | sed 's/^ */  /'

library_kib="$(peak_rss_kib lumetra)"
sample_kib="$(awk '/^[0-9]+$/ { print; exit }' "$work/sample.rss")"
sample_count="$(sed -n 2p "$work/sample.out" | tr -cd '0-9')"
library_count="$(sed -n 2p "$work/library.out" | tr -cd '0-9')"
awk -v l="$library_kib" -v s="$sample_kib" -v n="$photo_count" -v t="${medians[lumetra]}" -v ln="$library_count" \
  -v sn="$sample_count" -v per="$per_copy" 'BEGIN {
    printf "%-44s %12s %12s\n", "survey", "peak RSS MiB", "median s"
    printf "%-44s %12.1f %12s\n", "one sub-folder (" per " files, " sn " photos counted)", s / 1024, "-"
    printf "%-44s %12.1f %12.3f\n", "library (" n " files, " ln " photos counted)", l / 1024, t
    printf "growth per counted photo: %.0f bytes\n", (l - s) * 1024 / (ln - sn)
    printf "goal: peak under 100 MB (%.1f MB measured): %s\n", l * 1024 / 1e6, (l * 1024 < 100e6 ? "met" : "not met")
  }'
