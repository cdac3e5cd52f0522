#!/usr/bin/env bash
# Whole-process comparison of lumetra-cli with exiv2 and exiftool over every JPEG of the photo corpus.
# Each tool reads all the files in one process; the median of a few runs gives photos per second, and one
# extra run under /usr/bin/time gives the peak resident memory.
#
# Usage: bench/run_peers.sh [PATH/TO/lumetra-cli]
#   Without an argument the release build's lumetra-cli is used (cmake --preset release, then
#   cmake --build --preset release).
# Environment:
#   LUMETRA_CORPUS  folder of photos (default: ../shared/corpus beside the repository)
#   RUNS            timed runs per command (default 7); WARMUP untimed runs before them (default 1)
set -euo pipefail

repo_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
runs="${RUNS:-7}"
warmup="${WARMUP:-1}"

script_name=run_peers.sh
# shellcheck source=bench/common.sh
source "$repo_root/bench/common.sh"

resolve_cli "${1:-}"

resolve_corpus

files=()
while IFS= read -r -d '' file; do files+=("$file"); done < <(find "$corpus" -type f -iname '*.jp*g' -print0 | sort -z)
photo_count=${#files[@]}
((photo_count > 0)) || die "no JPEG files in $corpus"

# One shell-quoted argument string: some file names contain spaces.
quoted_files="$(printf '%q ' "${files[@]}")"

# name|command; every command writes its listing to stdout, which is discarded.
tools=("lumetra-cli tags|$(printf '%q' "$cli") tags $quoted_files"
  "lumetra-cli tags --json|$(printf '%q' "$cli") tags --json $quoted_files")
if command -v exiv2 > /dev/null; then
  tools+=("exiv2 -pa|exiv2 -pa $quoted_files")
else
  echo "run_peers.sh: exiv2 not installed, skipped" >&2
fi
if command -v exiftool > /dev/null; then
  tools+=("exiftool -fast|exiftool -fast $quoted_files" "exiftool -fast2|exiftool -fast2 $quoted_files")
else
  echo "run_peers.sh: exiftool not installed, skipped" >&2
fi

median_seconds() { timed_median "$1" "$runs" "$warmup"; }

# Prints the peak resident set size in MiB of one run, or "n/a" without GNU time.
peak_rss_mib() {
  local command="$1"
  if [[ ! -x /usr/bin/time ]]; then
    echo "n/a"
    return
  fi
  /usr/bin/time -v bash -c "exec $command" 2>&1 > /dev/null |
    awk -F: '/Maximum resident set size/ { printf "%.1f", $2 / 1024 }'
}

echo "Corpus: $corpus ($photo_count JPEG files)"
echo "lumetra-cli: $cli"
echo "Timer: $(command -v hyperfine > /dev/null && hyperfine --version || echo 'date loop'), median of $runs runs" \
  "after $warmup warm-up"
machine_line
echo

names=()
medians=()
rss=()
for entry in "${tools[@]}"; do
  name="${entry%%|*}"
  command="${entry#*|}"
  names+=("$name")
  medians+=("$(median_seconds "$command")")
  rss+=("$(peak_rss_mib "$command")")
done

lumetra_text="${medians[0]}"
lumetra_json="${medians[1]}"
echo "ratio = lumetra-cli photos/s / this command's photos/s (text: tags, json: tags --json); above 1: lumetra is faster"
printf '%-26s %10s %12s %12s %12s %14s\n' "command" "median s" "photos/s" "ratio text" "ratio json" "peak RSS MiB"
for i in "${!names[@]}"; do
  awk -v name="${names[$i]}" -v t="${medians[$i]}" -v n="$photo_count" -v lt="$lumetra_text" -v lj="$lumetra_json" \
    -v rss="${rss[$i]}" 'BEGIN {
      printf "%-26s %10.4f %12.1f %12.2f %12.2f %14s\n", name, t, n / t, t / lt, t / lj, rss }'
done
