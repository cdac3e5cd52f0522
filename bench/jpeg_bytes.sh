#!/usr/bin/env bash
# Bytes read per JPEG: `lumetra-cli survey --no-cache --threads 1` over the development corpus, beside the
# floor (`read_floor --threads 1`: each photo opened and its first 64 KiB read). The figures are the
# kernel's count of bytes read (/proc/PID/io, rchar) of a shell that waited for the command, less that of
# the same command over an empty folder, divided by the JPEGs of the corpus. On a slow disk or a network
# folder these bytes, not the CPU, set the pace.
#
#   bench/jpeg_bytes.sh [path/to/lumetra-cli]
set -euo pipefail

repo_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
script_name=jpeg_bytes.sh
source "$repo_root/bench/common.sh"

resolve_cli "${1:-}"
floor="$(dirname "$cli")/bench/read_floor"
resolve_corpus
empty="$(mktemp -d)"
trap 'rm -rf -- "$empty"' EXIT

jpegs=$(find "$corpus" -type f \( -iname '*.jpg' -o -iname '*.jpeg' \) | wc -l)
# A shell's rchar also counts its children once they have been waited for.
rchar_of() { bash -c '"$0" "$@" > /dev/null; grep "^rchar" /proc/$$/io' "$@" | awk '{ print $2 }'; }
per_jpeg() {
  local full empty_run
  full=$(rchar_of "$@" "$corpus")
  empty_run=$(rchar_of "$@" "$empty")
  awk -v a="$full" -v b="$empty_run" -v n="$jpegs" 'BEGIN { printf "%.0f", (a - b) / n }'
}

machine_line
echo "Folder: $corpus ($jpegs JPEGs)"
survey=$(per_jpeg "$cli" survey --no-cache --threads 1)
printf '  survey: %8d bytes read per JPEG (%.1f KiB)\n' "$survey" "$(awk -v b="$survey" 'BEGIN { print b / 1024 }')"
if [[ -x "$floor" ]]; then
  floor_bytes=$(per_jpeg "$floor" --threads 1)
  printf '  floor:  %8d bytes read per JPEG (%.1f KiB; at most 64 KiB each)\n' "$floor_bytes" \
    "$(awk -v b="$floor_bytes" 'BEGIN { print b / 1024 }')"
  awk -v s="$survey" -v f="$floor_bytes" 'BEGIN { printf "  survey / floor = %.3f\n", s / f }'
else
  echo "  floor: $floor not built (LUMETRA_BENCH=ON); no comparison"
fi
