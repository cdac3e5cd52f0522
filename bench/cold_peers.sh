#!/usr/bin/env bash
# A survey with a cold page cache: distinct copies of the corpus JPEGs (not links, so that no file's data
# is shared with another), the page cache dropped before every timed run, against exiv2, exiftool and the
# floor of only reading each photo's first 64 KiB. Needs root (writing /proc/sys/vm/drop_caches); without
# it the script says so and measures nothing. The copies are deleted at the end unless KEEP=1.
#
# Usage: bench/cold_peers.sh [PATH/TO/lumetra-cli]
# Environment:
#   LUMETRA_CORPUS, LUMETRA_BUILD, LUMETRA_BENCH_DIR  as for survey_peers.sh
#   COLD_COPIES  sub-folders of distinct copies (default 27: 2,997 files, 1.6 GB); the free space under
#                LUMETRA_BENCH_DIR is checked first
#   RUNS         rounds of timed runs, each command once per round (default 3)
#   KEEP         1: keep the copies for the next run (each is made again when missing)
set -euo pipefail

repo_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
runs="${RUNS:-3}"
copies="${COLD_COPIES:-27}"

script_name=cold_peers.sh
source "$repo_root/bench/common.sh"
source "$repo_root/bench/photo_folder.sh"

[[ "$runs" =~ ^[1-9][0-9]*$ ]] || die "RUNS must be a positive whole number, got '$runs'"

resolve_build
resolve_cli "${1:-}"
resolve_corpus
resolve_bench_dir

drop_caches='sync; echo 3 > /proc/sys/vm/drop_caches'
if ! bash -c "$drop_caches" 2> /dev/null; then
  echo "$script_name: cannot drop the page cache (needs root and a writable /proc/sys/vm/drop_caches);" \
    "cold runs skipped" >&2
  exit 0
fi

list_corpus_jpegs
corpus_bytes="$(du -sbc -- "${corpus_files[@]}" | tail -n 1 | cut -f1)"
needed_kib=$((corpus_bytes / 1024 * copies))
free_kib="$(df -Pk -- "$bench_dir" | awk 'NR == 2 { print $4 }')"
# Room for the copies and a margin of a gigabyte for everyone else.
if ((needed_kib + 1048576 > free_kib)); then
  echo "$script_name: $((needed_kib / 1024)) MiB of copies do not fit in $((free_kib / 1024)) MiB free under" \
    "$bench_dir; set COLD_COPIES lower; cold runs skipped" >&2
  exit 0
fi

work="$(mktemp -d)"
name="cold-$copies"
cleanup() {
  rm -rf -- "$work"
  [[ "${KEEP:-0}" == 1 ]] || remove_photo_folder "$name"
}
trap cleanup EXIT
source "$repo_root/bench/survey_tools.sh"

make_photo_folder "$name" "$copies" copies
[[ "$folder_kind" == distinct* ]] || die "the cold folder must hold distinct copies, got $folder_kind"

tools=(lumetra)
for tool in lumetra-1 exiv2 exiftool floor floor-1; do tool_available "$tool" && tools+=("$tool"); done

echo "Cold page cache: $photos"
echo "Files: $photo_count JPEGs in $copies sub-folders ($folder_kind, $((needed_kib / 1024)) MiB);" \
  "before every run: $drop_caches"
echo "lumetra-cli: $cli"
timing_line "$runs"
machine_line
echo

# The programs, their libraries and exiftool's Perl modules are dropped from the cache too, as on a
# first run after start-up.
for tool in "${tools[@]}"; do plan_tool "$tool" "$photo_count" "$photos"; done
time_tools "$runs" "$drop_caches" "${tools[@]}"

echo "ratio = lumetra-cli survey (text) photos/s / the command's photos/s; above 1: lumetra-cli is faster"
print_tool_table "${tools[@]}"
echo
print_goals "Ratios (the goals are set for the warm run; here for comparison):"
