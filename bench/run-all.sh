#!/usr/bin/env bash
# Every benchmark in one go: builds the release configuration, then runs the reader and survey
# micro-benchmarks, the corpus comparison with exiv2 and exiftool, the warm survey comparison with the
# peers and the floor, the desktop window's Run against the command line, the cold survey comparison and
# the 100,000-photo memory survey. Everything printed is also written to a log under LUMETRA_BENCH_DIR.
# Takes about a quarter of an hour on two cores.
#
# Usage: bench/run-all.sh
# Environment:
#   COMMIT             measure this commit rather than the working tree: it is exported (git archive) to
#                      LUMETRA_BENCH_DIR/src-<commit>, built there and measured with its own scripts, so
#                      that others' unfinished changes in the tree do not enter the figures (its build
#                      folder is the export's build/release)
#   LUMETRA_BUILD      build folder (default build/release); give each engineer's runs their own
#   BUILD              0: use the build folder as it is, without configuring and building
#   LUMETRA_CORPUS, LUMETRA_BENCH_DIR, RUNS  passed on to the scripts (see each script's head)
set -euo pipefail

repo_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
script_name=run-all.sh
source "$repo_root/bench/common.sh"

if [[ -n "${COMMIT:-}" ]]; then
  commit="$(git -C "$repo_root" rev-parse --short "$COMMIT^{commit}")" || die "not a commit: $COMMIT"
  resolve_bench_dir
  resolve_corpus
  source_dir="$bench_dir/src-$commit"
  if [[ ! -f "$source_dir/.exported" ]]; then
    rm -rf -- "$source_dir"
    mkdir -p "$source_dir"
    git -C "$repo_root" archive "$commit" | tar -x -C "$source_dir"
    touch "$source_dir/.exported"
  fi
  export LUMETRA_CORPUS="$corpus"
  export LUMETRA_SOURCE="$(git -C "$repo_root" log -1 --format='%h %s' "$commit") (exported to $source_dir)"
  exec env -u COMMIT -u LUMETRA_BUILD "$source_dir/bench/run-all.sh"
fi

resolve_build
export LUMETRA_BUILD="$build_dir"
if [[ "${BUILD:-1}" != 0 ]]; then
  (cd "$repo_root" && cmake --preset release -B "$build_dir" > /dev/null)
  targets=(lumetra-cli reader_bench survey_bench chart_filter_bench read_floor)
  grep -q '^LIBEXIF_FOUND:INTERNAL=1$' "$build_dir/CMakeCache.txt" && targets+=(reader_peers_bench)
  # The window's benchmarks exist only in a build with the desktop program.
  grep -q '^LUMETRA_GUI:BOOL=ON$' "$build_dir/CMakeCache.txt" && targets+=(window_run_bench filter_apply_bench)
  cmake --build "$build_dir" --target "${targets[@]}"
fi
for program in lumetra-cli bench/reader_bench bench/survey_bench bench/read_floor; do
  [[ -x "$build_dir/$program" ]] || die "no $build_dir/$program; build the release preset (or drop BUILD=0)"
done
resolve_bench_dir

log="$bench_dir/run-all-$(date -u +%Y%m%dT%H%M%SZ).log"
exec > >(tee "$log") 2>&1

section() {
  echo
  echo "=== $* ==="
}

echo "Lumetra benchmarks, $(date -u +%Y-%m-%dT%H:%MZ)"
if [[ -n "${LUMETRA_SOURCE:-}" ]]; then
  echo "Source: $LUMETRA_SOURCE"
else
  echo "Source: $(git -C "$repo_root" log -1 --format='%h %s' 2> /dev/null || echo 'not a git checkout')" \
    "$(git -C "$repo_root" diff --quiet HEAD -- 2> /dev/null || echo '(working tree has uncommitted changes)')"
fi
echo "Build: $build_dir ($(sed -n 's/^CMAKE_BUILD_TYPE:STRING=//p' "$build_dir/CMakeCache.txt"))"
machine_line
echo "Peers: $(exiv2 --version 2> /dev/null | sed -n 1p || echo "exiv2 missing"); exiftool" \
  "$(exiftool -ver 2> /dev/null || echo missing); $(hyperfine --version 2> /dev/null || echo 'hyperfine missing')"

section "reader_bench: TimgData in memory, per build mode and per maker"
"$build_dir/bench/reader_bench" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true 2>&1 |
  grep -v -E '_(mean|stddev|cv) '

section "survey_bench: 100,000 stored photos (AddPhoto, Retally)"
"$build_dir/bench/survey_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true 2>&1 |
  grep -v -E '_(mean|stddev|cv) '

if [[ -x "$build_dir/bench/reader_peers_bench" ]]; then
  section "reader_peers_bench: the survey's read against libexif, CPU per photo, the corpus"
  "$build_dir/bench/reader_peers_bench" "${LUMETRA_CORPUS:-$repo_root/../shared/corpus}" 5
fi

section "run_peers.sh: the corpus, tag listings"
"$repo_root/bench/run_peers.sh"

section "survey_peers.sh: warm page cache"
"$repo_root/bench/survey_peers.sh"

section "window_peers.sh: the desktop window's Run and Stop against lumetra-cli survey"
"$repo_root/bench/window_peers.sh"

if [[ -x "$build_dir/bench/filter_apply_bench" ]]; then
  section "filter_apply_bench: Apply in the filter dialog on 100,000 stored photos, beside Retally"
  QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}" "$build_dir/bench/filter_apply_bench" 5 2>&1 | grep -v XDG_RUNTIME_DIR
fi

if [[ -x "$build_dir/bench/chart_filter_bench" ]]; then
  section "chart_filter_bench: a chart command's filter change and recount on 100,000 stored photos, beside Retally"
  "$build_dir/bench/chart_filter_bench" 5
fi

section "cold_peers.sh: cold page cache"
"$repo_root/bench/cold_peers.sh"

section "survey_memory.sh: peak memory of a 100,000-photo survey"
"$repo_root/bench/survey_memory.sh"

section "survey_scale.sh: 10,000, 100,000 and 1,000,000 photos"
"$repo_root/bench/survey_scale.sh"

section "formats_peers.sh: 2,000 HEIC, AVIF and RAW files against exiftool, bytes read per file"
"$repo_root/bench/formats_peers.sh"

section "jpeg_bytes.sh: bytes read per corpus JPEG, beside the floor's"
"$repo_root/bench/jpeg_bytes.sh"

section "records_cache.sh: re-survey against first survey and --no-cache, opens, database size"
[[ -x "$repo_root/bench/records_cache.sh" ]] && "$repo_root/bench/records_cache.sh"
section "linear_axis.sh: chart pictures of 6,000 and 60,000 distinct values, linear axis against text axis"
"$repo_root/bench/linear_axis.sh"

echo
echo "Log: $log"
