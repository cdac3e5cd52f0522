#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer) in
# build/fuzz and runs them side by side, each for the given number of seconds with one worker at the
# lowest priority. Each target starts from its committed seeds and regression inputs, the inputs it found
# in earlier runs, and seeds cut out of the photo corpus at run time.
#
#   fuzz/run-fuzzers.sh [seconds] [target...]      seconds default 1900; targets default all six
#
# Environment: LUMETRA_FUZZ_WORK (default /tmp/lumetra-fuzz) holds per target corpus/, artifacts/ (crash-,
# leak-, timeout-, oom- files) and fuzz.log; LUMETRA_CORPUS (default /work/shared/corpus) is the photo
# folder (skipped when absent), LUMETRA_FORMATS_CORPUS (default /work/shared/formats-corpus) the HEIF, AVIF
# and RAW files (the same); LUMETRA_FUZZ_FLAGS adds libFuzzer options (e.g. -use_value_profile=1).
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-1900}
shift $(($# > 0 ? 1 : 0))
targets=("$@")
((${#targets[@]} > 0)) || targets=(jpeg_reader tiff_reader iptc crop_file iso_media raf records_cache)
work=${LUMETRA_FUZZ_WORK:-/tmp/lumetra-fuzz}
corpus=${LUMETRA_CORPUS:-/work/shared/corpus}
formats=${LUMETRA_FORMATS_CORPUS:-/work/shared/formats-corpus}
build=$repo/build/fuzz

# The clang tool chain is needed here only, not by the ordinary builds.
packages=(clang-14 libclang-rt-14-dev libfuzzer-14-dev)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if ((${#missing[@]} > 0)); then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
  -DLUMETRA_FUZZ=ON -DLUMETRA_SANITIZE=ON -DLUMETRA_GUI=OFF -DLUMETRA_TESTS=OFF >/dev/null
nice -n 19 cmake --build "$build" -j1 --target lumetra-fuzz-cut-seeds "${targets[@]/#/fuzz_}"

# Seeds cut from the corpus photos, fresh each run; never copied into the repository.
rm -rf "$work/cut"
if [[ -d $corpus ]]; then
  find "$corpus" -type f \( -iname '*.jpg' -o -iname '*.jpeg' \) -print0 | sort -z |
    xargs -0 "$build/fuzz/lumetra-fuzz-cut-seeds" "$work/cut"
else
  echo "no corpus at $corpus: starting from the committed seeds only"
fi
# The formats corpus's files up to 512 KiB as they are (HEIF, AVIF and CR3 for the base-media target, RAF,
# the TIFF-based RAW files): small real files whose boxes and offsets point where cameras put them. They
# are linked from the work folder, never copied into the repository.
if [[ -d $formats ]]; then
  link_formats() {
    local target=$1
    shift
    mkdir -p "$work/cut/$target"
    find "$formats" -type f -size -513k \( "$@" \) -exec ln -sf {} "$work/cut/$target/" \;
  }
  link_formats iso_media -iname '*.heic' -o -iname '*.heif' -o -iname '*.avif' -o -iname '*.cr3'
  link_formats raf -iname '*.raf'
  link_formats tiff_reader -iname '*.cr2' -o -iname '*.dng' -o -iname '*.nef' -o -iname '*.iiq' -o -iname '*.rw2'
else
  echo "no formats corpus at $formats: the container targets start from the committed seeds only"
fi

pids=()
for target in "${targets[@]}"; do
  dir=$work/$target
  mkdir -p "$dir/corpus" "$dir/artifacts"
  options=(-max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -print_final_stats=1
           -artifact_prefix="$dir/artifacts/")
  read -r -a extra <<<"${LUMETRA_FUZZ_FLAGS:-}"
  options+=("${extra[@]}")
  case $target in
    jpeg_reader | tiff_reader | raf) options+=(-dict="$repo/fuzz/photo.dict") ;;
    iso_media) options+=(-dict="$repo/fuzz/iso_media.dict") ;;
  esac
  seeds=()
  for folder in "$repo/fuzz/seeds/$target" "$repo/fuzz/regressions/$target" "$work/cut/$target"; do
    [[ -d $folder ]] && seeds+=("$folder")
  done
  echo "$(date -u '+%F %T') $target: ${seconds}s, log $dir/fuzz.log"
  # New inputs go to the first folder, the target's own corpus kept between runs.
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    nice -n 19 "$build/fuzz/fuzz_$target" "${options[@]}" "$dir/corpus" "${seeds[@]}" >"$dir/fuzz.log" 2>&1 &
  pids+=($!)
done
# A target that found something exits non-zero; the others run on to their time.
status=0
for pid in "${pids[@]}"; do
  wait "$pid" || status=1
done

for target in "${targets[@]}"; do
  log=$work/$target/fuzz.log
  echo "== $target: $(grep -E '^stat::(number_of_executed_units|peak_rss_mb)' "$log" | tr '\n' ' ')"
  grep -E '^Done [0-9]+ runs|^#[0-9]+ +DONE +cov|ERROR: |SUMMARY: |Test unit written' "$log" || true
done
exit $status
