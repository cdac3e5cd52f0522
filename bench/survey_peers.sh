#!/usr/bin/env bash
# A survey of a large folder against exiv2 and exiftool reading the same tags. The corpus JPEGs are
# linked (or, across file systems, copied) COPIES times into sub-folders of a folder outside the
# repository, made once and reused; then each tool reads that whole folder in one command, page cache
# warm, RUNS times. Prints photos per second, the ratio of lumetra-cli's rate to each peer's and the peak
# resident memory of each tool.
#
# Usage: bench/survey_peers.sh [PATH/TO/lumetra-cli]
#   Without an argument the release build's lumetra-cli is used (cmake --preset release, then
#   cmake --build --preset release).
# Environment:
#   LUMETRA_CORPUS     folder of photos (default: ../shared/corpus beside the repository)
#   LUMETRA_BENCH_DIR  where the photo folder is made (default: /tmp/lumetra-bench); never the repository
#   COPIES             sub-folders, one link to every corpus JPEG in each (default 190: 21,090 files)
#   RUNS               timed runs per tool (default 3)
set -euo pipefail

repo_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
runs="${RUNS:-3}"
copies="${COPIES:-190}"

script_name=survey_peers.sh
# shellcheck source=bench/common.sh
source "$repo_root/bench/common.sh"

[[ "$runs" =~ ^[1-9][0-9]*$ ]] || die "RUNS must be a positive whole number, got '$runs'"
[[ "$copies" =~ ^[1-9][0-9]*$ ]] || die "COPIES must be a positive whole number, got '$copies'"

resolve_cli "${1:-}"

resolve_corpus

corpus_files=()
while IFS= read -r -d '' file; do corpus_files+=("$file"); done < <(find "$corpus" -type f -iname '*.jpg' -print0 | sort -z)
per_copy=${#corpus_files[@]}
((per_copy > 0)) || die "no JPEG files in $corpus"
photo_count=$((per_copy * copies))

bench_dir="$(realpath -m -- "${LUMETRA_BENCH_DIR:-/tmp/lumetra-bench}")"
case "$bench_dir/" in
  "$(realpath -- "$repo_root")/"*) die "LUMETRA_BENCH_DIR is inside the repository: $bench_dir" ;;
esac
mkdir -p "$bench_dir"

# The photo folder: folder000 ... folderNNN, each holding every corpus JPEG once, named "<make folder>_<file
# name>" so that no two collide. A stamp beside it, written last, records what it holds; a folder without
# a matching stamp (an interrupted run, another corpus or count) is made again.
photos="$bench_dir/survey-$copies"
stamp="$photos.ready"
expected_stamp="$corpus $per_copy x $copies"
if [[ -f "$stamp" && "$(head -n 1 "$stamp")" == "$expected_stamp" ]]; then
  link_kind="$(sed -n 2p "$stamp")"
  echo "Reusing $photos ($photo_count files, $link_kind)"
else
  echo "Making $photos: $copies sub-folders x $per_copy JPEGs ..."
  rm -rf -- "$photos" "$stamp"
  mkdir -p "$photos"
  link_kind="hard links to the corpus files"
  for ((copy = 0; copy < copies; ++copy)); do
    folder="$photos/$(printf 'folder%03d' "$copy")"
    mkdir "$folder"
    for file in "${corpus_files[@]}"; do
      relative="${file#"$corpus"/}"
      target="$folder/${relative//\//_}"
      if [[ "$link_kind" == hard* ]] && ln -- "$file" "$target" 2> /dev/null; then continue; fi
      # Another file system, or links refused: real copies from here on.
      link_kind="copies of the corpus files"
      cp -- "$file" "$target"
    done
  done
  printf '%s\n%s\n' "$expected_stamp" "$link_kind" > "$stamp"
  echo "Made $photo_count files ($link_kind)"
fi

work="$(mktemp -d)"
trap 'rm -rf -- "$work"' EXIT
# lumetra-cli creates its crop file in LUMETRA_HOME on the first run.
lumetra_home="$work/home"
mkdir "$lumetra_home"

exiftool_tags=(-ExposureTime -FNumber -FocalLength -FocalLengthIn35mmFormat -ISO -ExposureProgram -MeteringMode
  -Flash -Orientation -Make -Model -LensModel)
# The same tags by exiv2's key names; -K matches a key exactly (-g would also print Exif.Photo.FlashpixVersion).
exiv2_keys=()
for key in Photo.ExposureTime Photo.FNumber Photo.FocalLength Photo.FocalLengthIn35mmFilm Photo.ISOSpeedRatings \
  Photo.ExposureProgram Photo.MeteringMode Photo.Flash Image.Orientation Image.Make Image.Model Photo.LensModel; do
  exiv2_keys+=(-K "Exif.$key")
done

# Each tool's command over a folder, as a script read by bash: file names hold spaces, and hyperfine and
# /usr/bin/time then run the same thing.
write_command() {
  local name="$1" folder="$2"
  case "$name" in
    lumetra) printf 'LUMETRA_HOME=%q exec %q survey --json %q\n' "$lumetra_home" "$cli" "$folder" ;;
    lumetra-text) printf 'LUMETRA_HOME=%q exec %q survey %q\n' "$lumetra_home" "$cli" "$folder" ;;
    exiftool) printf 'exec exiftool -fast -json -r %s %q\n' "${exiftool_tags[*]}" "$folder" ;;
    # exiv2 does not recurse: find lists the files and xargs starts exiv2 on as many as fit one command
    # line. exiv2 exits non-zero for files without Exif.
    exiv2) printf 'find %q -type f -iname %q -print0 | xargs -0 exiv2 %s -pt\n' "$folder" '*.jpg' "${exiv2_keys[*]}" ;;
  esac
}

# The text listing beside the JSON one shows what building the JSON document costs in time and memory.
tools=(lumetra lumetra-text)
command -v exiv2 > /dev/null && tools+=(exiv2) || echo "survey_peers.sh: exiv2 not installed, skipped" >&2
command -v exiftool > /dev/null && tools+=(exiftool) || echo "survey_peers.sh: exiftool not installed, skipped" >&2
declare -A labels=([lumetra]="lumetra-cli survey --json" [lumetra-text]="lumetra-cli survey (text)" [exiv2]="exiv2 -K ... -pt (xargs)"
  [exiftool]="exiftool -fast -json -r ...")

# Warm-up on one sub-folder: loads each program and its libraries (exiftool's Perl modules), and shows
# that every tool finds the photos. With hard links, one sub-folder is every file's data; with copies,
# the whole folder is read once. Listing the whole folder warms the directory entries.
sample="$photos/folder000"
for tool in "${tools[@]}"; do
  write_command "$tool" "$photos" > "$work/$tool.sh"
  write_command "$tool" "$sample" > "$work/$tool-sample.sh"
  bash "$work/$tool-sample.sh" > "$work/$tool-sample.out" 2> /dev/null || true
done
if [[ "$link_kind" == copies* ]]; then
  find "$photos" -type f -exec cat {} + > /dev/null
else
  find "$photos" > /dev/null
fi

echo "Folder: $photos"
echo "Files: $photo_count JPEGs in $copies sub-folders ($link_kind)"
echo "Sample check on $sample ($per_copy files):"
for tool in "${tools[@]}"; do
  case "$tool" in
    lumetra) found="$(grep -m 1 -o '"processed": [0-9]*' "$work/lumetra-sample.out" | grep -o '[0-9]*$' || echo 0)"
      echo "  lumetra-cli: $found photos counted (files without exposure time, F-number, ISO and focal length are not)" ;;
    lumetra-text) ;;
    exiv2) found="$(awk -F'  ' 'NF { print $1 }' "$work/exiv2-sample.out" | sort -u | wc -l)"
      echo "  exiv2: $found files with at least one of the tags" ;;
    exiftool) found="$(grep -c '"SourceFile"' "$work/exiftool-sample.out" || true)"
      echo "  exiftool: $found files listed" ;;
  esac
done
if [[ " ${tools[*]} " == *" exiv2 "* ]]; then
  batches="$(find "$photos" -type f -iname '*.jpg' -print0 | xargs -0 sh -c 'echo' sh | wc -l)"
  echo "exiv2 processes per run (xargs batches): $batches"
fi
echo "lumetra-cli: $cli"
echo "Timer: $(command -v hyperfine > /dev/null && hyperfine --version || echo 'date loop'), median of $runs runs;" \
  "peak RSS: largest of those runs (/usr/bin/time %M)"
echo "Machine: $(nproc) cores, $(uname -r); $(date -u +%Y-%m-%dT%H:%MZ)"
echo

# Runs a tool's script `runs` times and prints the median wall time in seconds. Each run goes through
# /usr/bin/time when present, which appends the run's peak RSS in KiB (the largest process of the run)
# to $work/TOOL.rss.
median_seconds() {
  local tool="$1" run_command
  if [[ -x /usr/bin/time ]]; then
    run_command="/usr/bin/time -f %M -a -o $(printf '%q' "$work/$tool.rss") bash $(printf '%q' "$work/$tool.sh")"
  else
    run_command="bash $(printf '%q' "$work/$tool.sh")"
  fi
  timed_median "$run_command" "$runs" 0
}

peak_rss_mib() {
  local file="$work/$1.rss"
  if [[ ! -s "$file" ]]; then
    echo "n/a"
    return
  fi
  # /usr/bin/time also writes "Command exited with non-zero status N" lines.
  awk '/^[0-9]+$/ { if ($1 > m) m = $1 } END { printf "%.1f", m / 1024 }' "$file"
}

declare -A medians
for tool in "${tools[@]}"; do
  echo "Timing ${labels[$tool]} ..." >&2
  medians[$tool]="$(median_seconds "$tool")"
done

lumetra="${medians[lumetra]}"
echo "ratio = lumetra-cli survey --json photos/s / the command's photos/s; above 1: lumetra-cli is faster"
echo "photos/s counts every JPEG file read, $photo_count per run"
printf '%-30s %10s %12s %8s %14s\n' "command" "median s" "photos/s" "ratio" "peak RSS MiB"
for tool in "${tools[@]}"; do
  awk -v name="${labels[$tool]}" -v t="${medians[$tool]}" -v n="$photo_count" -v l="$lumetra" \
    -v rss="$(peak_rss_mib "$tool")" 'BEGIN { printf "%-30s %10.3f %12.0f %8.2f %14s\n", name, t, n / t, t / l, rss }'
done
