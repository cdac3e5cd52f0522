#!/usr/bin/env bash
# How the survey scales: `lumetra-cli survey` (text) over about 10,000, 100,000 and 1,000,000 photos,
# links of the corpus JPEGs, with photos/s, CPU time and peak memory for each size, then whether the
# throughput stays flat and what each further photo costs in memory.
#
# Usage: bench/survey_scale.sh [PATH/TO/lumetra-cli]
# Environment:
#   LUMETRA_CORPUS, LUMETRA_BUILD  as for survey_peers.sh
#   SCALE_DIR  where the photo folders are made; default /dev/shm/lumetra-scale when /dev/shm is a
#              writable folder (memory: making a million links there takes seconds, on a disk minutes),
#              else $LUMETRA_BENCH_DIR/scale
#   RUNS       timed runs per size (default 3); the median time and the largest peak are shown
#   KEEP       1: keep the folders for the next run (default: deleted at the end, they hold a million names)
#
# Layout: SCALE_DIR/s10k holds 90 sub-folders with every corpus JPEG once ("<maker folder>_<file name>");
# s100k holds s10k and nine copies of it, s1m holds s100k and nine copies of that, so the three surveys
# read 90, 900 and 9,000 sub-folders (111 files each with the development corpus). When SCALE_DIR is on
# the corpus's file system the files are hard links to the corpus; otherwise the corpus JPEGs are copied
# there once and the folders are hard links to those copies. The page cache is warm throughout (on
# /dev/shm the files are in memory anyway).

set -euo pipefail

repo_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
runs="${RUNS:-3}"
script_name=survey_scale.sh
source "$repo_root/bench/common.sh"

[[ "$runs" =~ ^[1-9][0-9]*$ ]] || die "RUNS must be a positive whole number, got '$runs'"
command -v /usr/bin/time > /dev/null || die "/usr/bin/time is needed for the peak memory (package time)"

resolve_build
resolve_cli "${1:-}"
resolve_corpus
if [[ -n "${SCALE_DIR:-}" ]]; then
  scale_dir="$(realpath -m -- "$SCALE_DIR")"
elif [[ -d /dev/shm && -w /dev/shm ]]; then
  scale_dir=/dev/shm/lumetra-scale
else
  resolve_bench_dir
  scale_dir="$bench_dir/scale"
fi
case "$scale_dir/" in
  "$(realpath -- "$repo_root")/"*) die "SCALE_DIR is inside the repository: $scale_dir" ;;
esac

work="$(mktemp -d)"
cleanup() {
  rm -rf -- "$work"
  [[ "${KEEP:-0}" == 1 ]] || rm -rf -- "$scale_dir"
}
trap cleanup EXIT

corpus_files=()
while IFS= read -r -d '' file; do corpus_files+=("$file"); done < <(find "$corpus" -type f -iname '*.jpg' -print0 | sort -z)
((${#corpus_files[@]} > 0)) || die "no JPEG files in $corpus"
per_folder=${#corpus_files[@]}

# Makes the three nested folders unless a stamp says they are there for this corpus.
make_scale_folders() {
  local stamp="$scale_dir/ready" expected="$corpus $per_folder"
  if [[ -f "$stamp" && "$(cat "$stamp")" == "$expected" ]]; then
    echo "Reusing $scale_dir" >&2
    return
  fi
  echo "Making $scale_dir ..." >&2
  rm -rf -- "$scale_dir"
  mkdir -p "$scale_dir/s10k/folder00"
  local source_dir="$corpus" file relative
  # Hard links cannot cross file systems: then one copy of the corpus is made there to link to.
  if ! ln -- "${corpus_files[0]}" "$scale_dir/link-test" 2> /dev/null; then
    source_dir="$scale_dir/corpus"
    for file in "${corpus_files[@]}"; do
      relative="${file#"$corpus"/}"
      mkdir -p "$source_dir/$(dirname "$relative")"
      cp --reflink=never -- "$file" "$source_dir/$relative"
    done
  fi
  rm -f -- "$scale_dir/link-test"
  for file in "${corpus_files[@]}"; do
    relative="${file#"$corpus"/}"
    ln -- "$source_dir/$relative" "$scale_dir/s10k/folder00/${relative//\//_}"
  done
  local copy
  for ((copy = 1; copy < 90; ++copy)); do
    cp -al -- "$scale_dir/s10k/folder00" "$scale_dir/s10k/$(printf 'folder%02d' "$copy")"
  done
  # Each larger size holds the smaller one and nine links of it.
  local smaller larger
  for pair in s10k:s100k s100k:s1m; do
    smaller="${pair%%:*}" larger="${pair##*:}"
    mkdir -p "$scale_dir/$larger"
    mv -- "$scale_dir/$smaller" "$scale_dir/$larger/$smaller"
    for ((copy = 1; copy < 10; ++copy)); do
      cp -al -- "$scale_dir/$larger/$smaller" "$scale_dir/$larger/$smaller-$copy"
    done
  done
  ln -s -- s1m/s100k "$scale_dir/s100k"
  ln -s -- s1m/s100k/s10k "$scale_dir/s10k"
  echo "$expected" > "$stamp"
}

make_scale_folders
sizes=(s10k s100k s1m)
declare -A files medians cpu_medians peaks counted
files[s10k]=$((per_folder * 90))
files[s100k]=$((per_folder * 900))
files[s1m]=$((per_folder * 9000))

home="$work/home"
mkdir -p "$home"
# One untimed survey loads the program (and, off /dev/shm, brings the files into the page cache).
for size in "${sizes[@]}"; do
  LUMETRA_HOME="$home" "$cli" survey $(reads_every_photo) "$scale_dir/$size/" > "$work/$size.out"
  counted[$size]="$(sed -n 2p "$work/$size.out" | tr -cd '0-9')"
done

echo "Folders: $scale_dir (s10k, s100k, s1m: $per_folder files in each sub-folder)"
echo "lumetra-cli: $cli"
echo "Timer: /usr/bin/time, median of $runs runs per size (the sizes take turns); peak RSS: largest of them"
machine_line
echo

for ((run = 0; run < runs; ++run)); do
  for size in "${sizes[@]}"; do
    /usr/bin/time -f '%e %U %S %M' -o "$work/$size.time" -a env LUMETRA_HOME="$home" "$cli" survey \
      $(reads_every_photo) "$scale_dir/$size/" > /dev/null
  done
done

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }
for size in "${sizes[@]}"; do
  medians[$size]="$(awk 'NF == 4 { print $1 }' "$work/$size.time" | median)"
  cpu_medians[$size]="$(awk 'NF == 4 { print $2 + $3 }' "$work/$size.time" | median)"
  peaks[$size]="$(awk 'NF == 4 { if ($4 > m) m = $4 } END { print m + 0 }' "$work/$size.time")"
done

printf '%-6s %9s %9s %9s %10s %8s %14s %13s\n' size files counted "median s" photos/s "CPU s" "photos/CPU s" \
  "peak RSS MiB"
for size in "${sizes[@]}"; do
  awk -v s="$size" -v n="${files[$size]}" -v c="${counted[$size]}" -v t="${medians[$size]}" \
    -v cpu="${cpu_medians[$size]}" -v kib="${peaks[$size]}" 'BEGIN {
      printf "%-6s %9d %9d %9.3f %10.0f %8.2f %14.0f %13.1f\n", s, n, c, t, n / t, cpu, (cpu > 0 ? n / cpu : 0),
        kib / 1024 }'
done
awk -v n1="${files[s10k]}" -v t1="${medians[s10k]}" -v n2="${files[s100k]}" -v t2="${medians[s100k]}" \
  -v n3="${files[s1m]}" -v t3="${medians[s1m]}" -v k1="${peaks[s10k]}" -v k3="${peaks[s1m]}" 'BEGIN {
    a = n1 / t1; b = n2 / t2; c = n3 / t3
    lo = a; if (b < lo) lo = b; if (c < lo) lo = c
    hi = a; if (b > hi) hi = b; if (c > hi) hi = c
    printf "throughput: slowest size %.0f%% of the fastest (goal: within 15%%: %s)\n", 100 * lo / hi,
      (lo >= 0.85 * hi ? "met" : "not met")
    per = (k3 - k1) * 1024 / (n3 - n1)
    printf "memory: %.0f bytes per further file from 10k to 1M, %.1f MiB at 10k (goal: under 300 bytes per photo: %s)\n",
      per, k1 / 1024, (per < 300 ? "met" : "not met") }'
