#!/usr/bin/env bash
# The desktop window's Run against `lumetra-cli survey` on the same large folder, page cache warm: the
# window (bench/window_run_bench, off-screen) from F5 until the charts are shown, against the command
# line's whole run with its output discarded, and against the same survey without the window in the window's
# own process (RunSurvey with no hooks: what the window adds, apart from the two processes' differences).
# Also the window's Stop: how long after a click on Stop the window is ready again. The corpus JPEGs are linked COPIES times into sub-folders of a folder outside the
# repository, made once and reused (the folder of survey_peers.sh).
#
# Usage: bench/window_peers.sh [PATH/TO/lumetra-cli]
#   Without an argument the build's lumetra-cli is used (LUMETRA_BUILD, default build/release); the
#   window's program is always the build's bench/window_run_bench.
# Environment:
#   LUMETRA_CORPUS, LUMETRA_BUILD, LUMETRA_BENCH_DIR  as for survey_peers.sh
#   COPIES  sub-folders, one link to every corpus JPEG in each (default 190: 21,090 files)
#   RUNS    rounds (default 11); each runs the window's program once (one timed run, the same survey without
#           the window, then the Stop samples) and lumetra-cli once, the two taking turns at going first
#   STOPS   milliseconds after F5 at which Stop is clicked in each round's window (default 170,330,490: at
#           different places of the walk's 100 ms event interval; the whole run takes about 0.65 s)
set -euo pipefail

repo_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
runs="${RUNS:-11}"
copies="${COPIES:-190}"
stops="${STOPS:-170,330,490}"

script_name=window_peers.sh
source "$repo_root/bench/common.sh"
source "$repo_root/bench/photo_folder.sh"

[[ "$runs" =~ ^[1-9][0-9]*$ ]] || die "RUNS must be a positive whole number, got '$runs'"
[[ "$stops" =~ ^[0-9]+(,[0-9]+)*$ ]] || die "STOPS must be milliseconds as MS,MS,..., got '$stops'"

resolve_build
resolve_cli "${1:-}"
resolve_corpus
resolve_bench_dir

window_bench="$build_dir/bench/window_run_bench"
if [[ ! -x "$window_bench" ]]; then
  echo "$script_name: no $window_bench (a build with LUMETRA_GUI and LUMETRA_BENCH: cmake --build ..." \
    "--target window_run_bench); nothing measured" >&2
  exit 0
fi

work="$(mktemp -d)"
trap 'rm -rf -- "$work"' EXIT
# lumetra-cli keeps its crop file in LUMETRA_HOME, seeded on the first run; the window gets a temporary
# folder of its own from window_run_bench.
mkdir -p "$work/home"
[[ -x /usr/bin/time ]] || die "GNU time (/usr/bin/time, package time) is needed for the CPU times"

make_photo_folder "survey-$copies" "$copies" links

# One untimed pass of each over the whole folder: programs, libraries and fonts loaded, every photo's data
# and the directory entries in the page cache.
LUMETRA_HOME="$work/home" "$cli" survey "$photos" > "$work/cli-warm.out" 2> /dev/null || true
"$window_bench" --stops= "$photos" 1 > "$work/window-warm.out" 2> /dev/null || true

echo "Warm page cache: $photos"
echo "Files: $photo_count JPEGs in $copies sub-folders ($folder_kind)"
echo "Check: lumetra-cli $(sed -n 2p "$work/cli-warm.out");" \
  "window $(awk '$1 == "run" { for (i = 2; i <= NF; ++i) if ($i ~ /^(processed|filtered)=/) printf " %s", $i }' \
    "$work/window-warm.out")"
echo "lumetra-cli: $cli"
echo "window: $window_bench (QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}, 1024 x 768, window shown)"
echo "Timer: $runs rounds, each running the window's program once and lumetra-cli once, taking turns at" \
  "going first. Window: wall (steady clock) and process CPU time from myTreeChange to the return of" \
  "but_RunClick, inside the program; paint: the pending events after it, the charts' first paint;" \
  "the survey without the window: RunSurvey in the same process right after the window's run." \
  "lumetra-cli: wall time of the whole process (its start and the crop file included) with date around" \
  "it, CPU from /usr/bin/time. Stop: clicked by a timer $stops ms after F5 in each round."
machine_line
echo

run_window() {
  local round="$1"
  "$window_bench" --profile --stops="$stops" "$photos" 1 > "$work/window-$round.out" 2> "$work/window-$round.err" ||
    die "window_run_bench failed: $(tail -n 3 "$work/window-$round.err")"
  awk '$1 == "run" || $1 == "engine" || $1 == "events"' "$work/window-$round.out" >> "$work/window.runs"
  awk '$1 == "stop"' "$work/window-$round.out" >> "$work/window.stops"
}

run_cli() {
  local start end
  start="$(date +%s.%N)"
  LUMETRA_HOME="$work/home" /usr/bin/time -f '%U %S' -a -o "$work/cli.cpu" "$cli" survey "$photos" > /dev/null 2>&1 ||
    die "lumetra-cli survey failed"
  end="$(date +%s.%N)"
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.6f\n", e - s }' >> "$work/cli.times"
}

for ((round = 1; round <= runs; ++round)); do
  echo "Round $round of $runs" >&2
  if ((round % 2)); then
    run_window "$round"
    run_cli
  else
    run_cli
    run_window "$round"
  fi
done

# The value of KEY in the lines of FILE whose first field is KIND, one per line.
field() {
  awk -v key="$3" -v kind="$2" '$1 == kind { for (i = 2; i <= NF; ++i) if (index($i, key "=") == 1) print substr($i, length(key) + 2) }' "$1"
}

# Median, spread ((largest - smallest) / median, per cent) and largest of the numbers on standard input.
stats() {
  sort -g | awk '{ t[NR] = $1 } END {
    if (NR == 0) { print "0 0 0"; exit }
    m = NR % 2 ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2
    printf "%.6f %.0f %.6f\n", m, (m > 0 ? 100 * (t[NR] - t[1]) / m : 0), t[NR] }'
}

read -r window_s window_spread _ < <(field "$work/window.runs" run run_seconds | stats)
read -r window_cpu _ _ < <(field "$work/window.runs" run cpu_seconds | stats)
read -r paint_ms _ paint_max_ms < <(field "$work/window.runs" run paint_ms | stats)
read -r shown_s shown_spread _ < <(paste -d' ' <(field "$work/window.runs" run run_seconds) \
  <(field "$work/window.runs" run paint_ms) | awk '{ printf "%.6f\n", $1 + $2 / 1000 }' | stats)
read -r engine_s engine_spread _ < <(field "$work/window.runs" engine run_seconds | stats)
read -r engine_cpu _ _ < <(field "$work/window.runs" engine cpu_seconds | stats)
read -r dispatch_ms _ _ < <(field "$work/window.runs" events dispatch_ms | stats)
read -r passes _ _ < <(field "$work/window.runs" events passes | stats)
read -r cli_s cli_spread _ < <(stats < "$work/cli.times")
# Each round's own ratios: the load of the moment falls on both terms of one.
read -r paired_cli _ _ < <(paste -d' ' <(field "$work/window.runs" run run_seconds) "$work/cli.times" |
  awk '{ printf "%.6f\n", $1 / $2 }' | stats)
read -r paired_engine _ _ < <(paste -d' ' <(field "$work/window.runs" run run_seconds) \
  <(field "$work/window.runs" engine run_seconds) | awk '{ printf "%.6f\n", $1 / $2 }' | stats)
read -r cli_cpu _ _ < <(awk 'NF == 2 && $1 ~ /^[0-9.]+$/ { print $1 + $2 }' "$work/cli.cpu" | stats)
read -r stop_ms _ stop_max_ms < <(field "$work/window.stops" stop stop_ms | stats)
read -r wait_ms _ wait_max_ms < <(field "$work/window.stops" stop wait_ms | stats)
read -r late_ms _ late_max_ms < <(field "$work/window.stops" stop late_ms | stats)
read -r gap_ms _ gap_max_ms < <(field "$work/window.stops" stop max_event_gap_ms | stats)
stop_count="$(field "$work/window.stops" stop stop_ms | wc -l)"
missed_count="$(field "$work/window.stops" stop missed | wc -l)"
processed="$(field "$work/window.runs" run processed | sort -u | paste -sd/)"
filtered="$(field "$work/window.runs" run filtered | sort -u | paste -sd/)"

printf '%-46s %9s %7s %9s %9s\n' "command" "median s" "spread" "photos/s" "CPU s"
row() {
  awk -v name="$1" -v n="$photo_count" -v t="$2" -v s="$3" -v c="$4" \
    'BEGIN { printf "%-46s %9.3f %6d%% %9.0f %9s\n", name, t, s, n / t, (c == "" ? "" : sprintf("%.3f", c)) }'
}
row "lumetra-cli survey (whole process)" "$cli_s" "$cli_spread" "$cli_cpu"
row "window: F5 until but_RunClick returns" "$window_s" "$window_spread" "$window_cpu"
row "window: the same and the charts painted" "$shown_s" "$shown_spread" ""
row "RunSurvey in the window's process, no window" "$engine_s" "$engine_spread" "$engine_cpu"
ms() { awk -v v="$1" 'BEGIN { printf "%.1f", v }'; }
echo "Window counters: processed $processed, filtered $filtered. In a run the window handled events for" \
  "$(ms "$dispatch_ms") ms (the charts' first paint included) in $(printf '%.0f' "$passes") passes of event" \
  "processing; the charts' first paint after but_RunClick: median $(ms "$paint_ms") ms, largest $(ms "$paint_max_ms") ms"
echo "Stop ($stop_count clicks, $missed_count after the run had ended): click to ready median $(ms "$stop_ms") ms," \
  "largest $(ms "$stop_max_ms") ms; the click waited for event processing: median $(ms "$late_ms") ms, largest" \
  "$(ms "$late_max_ms") ms; the longest span without event processing in a run: median $(ms "$gap_ms") ms," \
  "largest $(ms "$gap_max_ms") ms"
echo
echo "Goals (from this run):"
awk -v w="$window_s" -v c="$cli_s" -v p="$shown_s" -v wc="$window_cpu" -v cc="$cli_cpu" -v pr="$paired_cli" 'BEGIN {
  printf "  window / cli, medians = %5.3f: cli / window = %5.3f  (goal >= 0.9: %s)\n", w / c, c / w,
    (c / w >= 0.9 ? "met" : "not met")
  printf "      median of the ratios of each round %.3f; charts painted %.3f; per CPU second %.3f\n", pr, p / c,
    (cc > 0 ? wc / cc : 0) }'
awk -v w="$window_s" -v e="$engine_s" -v pr="$paired_engine" 'BEGIN {
  printf "  window / the survey without the window in its process = %5.3f (median of the rounds: %.3f)\n", w / e, pr }'
awk -v s="$stop_max_ms" -v w="$wait_max_ms" -v n="$stop_count" 'BEGIN {
  if (n == 0) { print "  stop latency: no click fell inside a run (set STOPS lower)"; exit }
  printf "  stop, click to ready, largest = %.1f ms  (goal <= 100: %s)\n", s, (s <= 100 ? "met" : "not met")
  printf "  stop, click waiting included, largest = %.1f ms  (goal <= 100: %s)\n", w, (w <= 100 ? "met" : "not met") }'
echo "result window_s=$window_s window_cpu_s=$window_cpu paint_ms=$paint_ms engine_s=$engine_s cli_s=$cli_s cli_cpu_s=$cli_cpu" \
  "ratio=$(awk -v w="$window_s" -v c="$cli_s" 'BEGIN { printf "%.4f", w / c }') paired_ratio=$paired_cli" \
  "stop_ms=$stop_ms stop_max_ms=$stop_max_ms wait_ms=$wait_ms wait_max_ms=$wait_max_ms"
