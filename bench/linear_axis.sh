#!/usr/bin/env bash
# The linear axis against the text axis on many distinct values: `lumetra-cli survey --charts` over folders
# of photos whose exposures, F-numbers, focal lengths and ISO values are all distinct (made by
# distinct_values_folder, outside the repository), with `--axis linear` and `--axis text`, in the same run.
# Prints wall and CPU seconds and peak memory of each, and the linear axis's ratios to the text axis.
# The goal: the linear axis within 2x the text axis's time and memory at every size.
#
# Usage: bench/linear_axis.sh [PATH/TO/lumetra-cli]
# Environment:
#   LUMETRA_BUILD, LUMETRA_BENCH_DIR  as for survey_peers.sh
#   SIZES  the folders' photo counts (default "6000 60000")
#   KEEP   1: keep the folders for the next run
set -euo pipefail

repo_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
sizes="${SIZES:-6000 60000}"

script_name=linear_axis.sh
source "$repo_root/bench/common.sh"

resolve_build
resolve_cli "${1:-}"
resolve_bench_dir
maker="$build_dir/bench/distinct_values_folder"
[[ -x "$maker" ]] || die "no distinct_values_folder at $maker; build the release preset with LUMETRA_BENCH=ON"
command -v /usr/bin/time > /dev/null || die "/usr/bin/time is needed (package time)"

work="$(mktemp -d)"
cleanup() {
  rm -rf -- "$work"
  if [[ "${KEEP:-0}" != 1 ]]; then
    for size in $sizes; do rm -rf -- "$bench_dir/distinct-$size" "$bench_dir/distinct-$size.ready"; done
  fi
}
trap cleanup EXIT

machine_line
printf '%-8s %-7s %8s %8s %10s\n' photos axis "wall s" "CPU s" "peak MB"
for size in $sizes; do
  folder="$bench_dir/distinct-$size"
  if [[ ! -f "$folder.ready" ]]; then
    rm -rf -- "$folder"
    "$maker" "$size" "$folder"
    touch "$folder.ready"
  fi
  # One untimed survey reads the files into the page cache.
  "$cli" survey "$folder" > /dev/null
  declare -A wall cpu peak
  for axis in text linear; do
    rm -rf -- "$work/charts"
    /usr/bin/time -f '%e %U %S %M' -o "$work/time" "$cli" survey "$folder" --charts "$work/charts" --axis "$axis" \
      > /dev/null
    read -r seconds user system kb < "$work/time"
    wall[$axis]="$seconds"
    cpu[$axis]="$(awk -v u="$user" -v s="$system" 'BEGIN { printf "%.2f", u + s }')"
    peak[$axis]="$(awk -v k="$kb" 'BEGIN { printf "%.1f", k / 1024 }')"
    printf '%-8s %-7s %8s %8s %10s\n' "$size" "$axis" "${wall[$axis]}" "${cpu[$axis]}" "${peak[$axis]}"
  done
  awk -v size="$size" -v wl="${wall[linear]}" -v wt="${wall[text]}" -v cl="${cpu[linear]}" -v ct="${cpu[text]}" \
    -v ml="${peak[linear]}" -v mt="${peak[text]}" 'BEGIN {
      printf "%-8s linear/text: wall %.2fx, CPU %.2fx, memory %.2fx (goal: at most 2x)\n", size, wl / wt, cl / ct, ml / mt }'
done
