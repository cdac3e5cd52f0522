#!/usr/bin/env bash
# The survey of photos beyond JPEG: a folder of about 2,000 links to the formats corpus (HEIC, AVIF, RAW),
# surveyed with `lumetra-cli survey --formats all` and listed by `exiftool -fast` for the same tags, page
# cache warm. Prints each command's files/s and CPU time, their ratio (goal: lumetra at least 20 times
# exiftool's rate), and the bytes lumetra-cli reads per file (goal: 256 KiB at most on average), taken from
# the kernel's count of bytes read (/proc/PID/io, rchar) less that of a survey of an empty folder.
#
#   bench/formats_peers.sh [path/to/lumetra-cli]      RUNS (default 5) rounds; COPIES (default 125) sub-folders
set -euo pipefail

repo_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
runs="${RUNS:-5}"
copies="${COPIES:-125}"
script_name=formats_peers.sh
source "$repo_root/bench/common.sh"

resolve_cli "${1:-}"
resolve_bench_dir
formats="${LUMETRA_FORMATS_CORPUS:-$repo_root/../shared/formats-corpus}"
if [[ ! -d "$formats" ]]; then
  echo "$script_name: formats corpus not found: $formats (set LUMETRA_FORMATS_CORPUS); nothing measured" >&2
  exit 0
fi
formats="$(cd "$formats" && pwd)"

# The folder: COPIES sub-folders, each with every file of the formats corpus once (hard links where the
# file system allows, else symbolic links), named "<maker folder>_<file name>".
photos="$bench_dir/formats-$copies"
mapfile -d '' files < <(find "$formats" -type f ! -name '*.md' ! -name '*.tsv' -print0 | sort -z)
file_count=$((${#files[@]} * copies))
stamp="$photos.ready"
if [[ ! -f "$stamp" || "$(cat "$stamp")" != "$formats ${#files[@]} x $copies" ]]; then
  rm -rf -- "$photos" "$stamp"
  for ((copy = 0; copy < copies; ++copy)); do
    folder="$photos/$(printf 'folder%03d' "$copy")"
    mkdir -p "$folder"
    for file in "${files[@]}"; do
      relative="${file#"$formats"/}"
      ln -- "$file" "$folder/${relative//\//_}" 2> /dev/null || ln -s -- "$file" "$folder/${relative//\//_}"
    done
  done
  echo "$formats ${#files[@]} x $copies" > "$stamp"
fi
empty="$(mktemp -d)"
work="$(mktemp -d)"
trap 'rm -rf -- "$empty" "$work"' EXIT

tags=(-Make -Model -ExposureTime -FNumber -FocalLength -FocalLengthIn35mmFormat -ISO -ExposureProgram
  -MeteringMode -Flash -Orientation -LensModel)
commands=(lumetra)
command -v exiftool > /dev/null && commands+=(exiftool)
run() {
  case "$1" in
    lumetra) "$cli" survey --formats all "$photos" > /dev/null ;;
    exiftool) exiftool -fast -r -q -q -T "${tags[@]}" "$photos" > /dev/null || true ;;
  esac
}

machine_line
echo "Folder: $photos ($file_count files: ${#files[@]} formats-corpus files x $copies)"
"$cli" survey --formats all --json "$photos" > "$work/survey.json"
counted=$(grep -o '"processed": *[0-9]*' "$work/survey.json" | grep -o '[0-9]*$' || echo "?")
echo "lumetra-cli counts $counted photos of $file_count files"
for command in "${commands[@]}"; do run "$command"; done # warm the page cache
declare -A wall cpu
for command in "${commands[@]}"; do
  for ((round = 0; round < runs; ++round)); do
    /usr/bin/time -f '%e %U %S' -o "$work/$command.$round" bash -c "$(declare -f run); $(declare -p cli photos tags); run $command"
  done
  wall[$command]=$(for f in "$work/$command".*; do awk '{ print $1 }' "$f"; done | sort -g | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }')
  cpu[$command]=$(for f in "$work/$command".*; do awk '{ print $2 + $3 }' "$f"; done | sort -g | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }')
  printf '%-10s median %7.3f s wall, %7.3f s CPU: %9.0f files/s, %9.0f files per CPU second\n' "$command" \
    "${wall[$command]}" "${cpu[$command]}" "$(awk -v n="$file_count" -v t="${wall[$command]}" 'BEGIN { print n / t }')" \
    "$(awk -v n="$file_count" -v t="${cpu[$command]}" 'BEGIN { print n / t }')"
done

# Bytes read: a shell's rchar also counts its children once they have been waited for.
read_bytes() { bash -c '"$0" survey --formats all --threads 1 "$1" > /dev/null; grep "^rchar" /proc/$$/io' "$cli" "$1" | awk '{ print $2 }'; }
per_file=$(awk -v a="$(read_bytes "$photos")" -v b="$(read_bytes "$empty")" -v n="$file_count" 'BEGIN { printf "%.0f", (a - b) / n }')

echo
echo "Goals:"
if [[ -n "${wall[exiftool]:-}" ]]; then
  awk -v l="${wall[lumetra]}" -v e="${wall[exiftool]}" -v lc="${cpu[lumetra]}" -v ec="${cpu[exiftool]}" 'BEGIN {
    r = e / l; printf "  lumetra / exiftool files/s = %.1f  (goal >= 20: %s); per CPU second: %.1f\n", r, (r >= 20 ? "met" : "not met"), ec / lc }'
else
  echo "  exiftool not installed: no ratio"
fi
awk -v b="$per_file" 'BEGIN { printf "  bytes read per file = %d (%.1f KiB; goal <= 256 KiB: %s)\n", b, b / 1024, (b <= 262144 ? "met" : "not met") }'
