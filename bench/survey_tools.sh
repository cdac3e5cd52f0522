# The commands compared in the survey benchmarks, how each is timed, and the table of results. Sourced
# after common.sh, with `cli`, `build_dir` and `work` (a scratch folder) set.
#
# Tools: lumetra (`lumetra-cli survey`, the tallies as text), lumetra-1 (the same reading every photo on
# the walk's own thread, --threads 1, when lumetra-cli has that option), lumetra-json (with --json), exiv2
# and exiftool (reading the tags a survey asks for), floor and floor-1 (read_floor: the survey's walk,
# each photo only opened and its first 64 KiB read, on one thread per core or on one thread).

# The tags a survey reads (survey/ExtractPhoto.cpp): the Exif ones under the peers' names, and the maker
# notes' focus mode, drive mode, lens and shortest and longest focal length as each peer calls them.
exiftool_tags=(-ExposureTime -FNumber -FocalLength -FocalLengthIn35mmFormat -ISO -ExposureProgram -MeteringMode
  -Flash -Orientation -Make -Model -LensModel -Lens -FocusMode -DriveMode -MinFocalLength -MaxFocalLength)
# exiv2 -g takes a regular expression over the key; -K (exact keys) cannot be mixed with -g. Anchored, so
# that Exif.Photo.Flash does not also print FlashpixVersion.
exiv2_keys=()
for key in 'Exif\.Photo\.ExposureTime$' 'Exif\.Photo\.FNumber$' 'Exif\.Photo\.FocalLength$' \
  'Exif\.Photo\.FocalLengthIn35mmFilm$' 'Exif\.Photo\.ISOSpeedRatings$' 'Exif\.Photo\.ExposureProgram$' \
  'Exif\.Photo\.MeteringMode$' 'Exif\.Photo\.Flash$' 'Exif\.Image\.Orientation$' 'Exif\.Image\.Make$' \
  'Exif\.Image\.Model$' '\.LensModel$' '\.Lens$' '\.FocusMode$' '\.DriveMode$'; do
  exiv2_keys+=(-g "$key")
done

[[ -x /usr/bin/time ]] || die "GNU time (/usr/bin/time, package time) is needed for the peak memory"

# lumetra-cli keeps its crop file in LUMETRA_HOME, seeded on the first run.
mkdir -p "$work/home"

declare -A tool_labels=(
  [lumetra]="lumetra-cli survey (text)"
  [lumetra-1]="lumetra-cli survey --threads 1"
  [lumetra-json]="lumetra-cli survey --json"
  [exiv2]="exiv2 -g ... -pt (find | xargs)"
  [exiftool]="exiftool -fast -r ..."
  [floor]="read_floor ($(nproc) threads)"
  [floor-1]="read_floor (1 thread)"
)

# Whether the tool can run here; a missing peer is left out with a note.
tool_available() {
  case "$1" in
    exiv2 | exiftool)
      command -v "$1" > /dev/null && return 0
      echo "$script_name: $1 not installed, skipped" >&2
      return 1 ;;
    lumetra-1)
      "$cli" survey --help 2> /dev/null | grep -q -- --threads && return 0
      echo "$script_name: lumetra-cli survey has no --threads option, the one-thread survey skipped" >&2
      return 1 ;;
    floor | floor-1)
      [[ -x "$build_dir/bench/read_floor" ]] && return 0
      echo "$script_name: no $build_dir/bench/read_floor (build with the release preset), floor skipped" >&2
      return 1 ;;
  esac
}

# Prints the bash script that runs TOOL over the folders (lumetra-cli and read_floor take the first only),
# its output discarded by the caller. File names hold spaces, so each command is a script run by bash.
write_tool_command() {
  local tool="$1"
  shift
  local folders
  folders="$(printf '%q ' "$@")"
  case "$tool" in
    # Every run reads every photo, as the peers do.
    lumetra) printf 'LUMETRA_HOME=%q exec %q survey %s %q\n' "$work/home" "$cli" "$(reads_every_photo)" "$1" ;;
    lumetra-1) printf 'LUMETRA_HOME=%q exec %q survey %s --threads 1 %q\n' "$work/home" "$cli" "$(reads_every_photo)" "$1" ;;
    lumetra-json) printf 'LUMETRA_HOME=%q exec %q survey %s --json %q\n' "$work/home" "$cli" "$(reads_every_photo)" "$1" ;;
    # exiv2 does not recurse: find lists the files and xargs starts exiv2 on as many as fit one command
    # line. exiv2 exits non-zero for files without Exif.
    exiv2) printf 'find %s -type f -iname %q -print0 | xargs -0 exiv2 %s -pt\n' "$folders" '*.jpg' "$(printf '%q ' "${exiv2_keys[@]}")" ;;
    exiftool) printf 'exec exiftool -fast -r %s %s\n' "${exiftool_tags[*]}" "$folders" ;;
    floor) printf 'exec %q %q\n' "$build_dir/bench/read_floor" "$1" ;;
    floor-1) printf 'exec %q --threads 1 %q\n' "$build_dir/bench/read_floor" "$1" ;;
  esac
}

declare -A medians spreads cpu_medians files_read

# Sets TOOL's command over the folders ($work/TOOL.sh) and the number of files it reads.
plan_tool() {
  local tool="$1" files="$2"
  shift 2
  write_tool_command "$tool" "$@" > "$work/$tool.sh"
  files_read[$tool]="$files"
}

# Times the planned tools in RUNS rounds, each round running every tool once in turn, so that a change in
# the machine's load falls on all of them alike. PREPARE (may be empty) runs untimed before every run.
# Sets medians[TOOL] (wall seconds), spreads[TOOL] ((slowest - fastest) / median, in per cent) and
# cpu_medians[TOOL] (user + system seconds of the command and its children: on a machine whose cores are
# shared with other work this moves far less than the wall time). Each run goes through /usr/bin/time,
# which appends its peak RSS in KiB (the largest process of the run) and CPU times to $work/TOOL.rss.
time_tools() {
  local runs="$1" prepare="$2"
  shift 2
  local round tool start end
  for ((round = 1; round <= runs; ++round)); do
    echo "Round $round of $runs: $*" >&2
    for tool in "$@"; do
      [[ -n "$prepare" ]] && bash -c "$prepare"
      start="$(date +%s.%N)"
      # Exit codes are ignored: exiv2 returns non-zero for photos without Exif.
      /usr/bin/time -f '%M %U %S' -a -o "$work/$tool.rss" bash "$work/$tool.sh" > /dev/null 2>&1 || true
      end="$(date +%s.%N)"
      awk -v s="$start" -v e="$end" 'BEGIN { printf "%.6f\n", e - s }' >> "$work/$tool.times"
    done
  done
  for tool in "$@"; do
    read -r "medians[$tool]" "spreads[$tool]" < <(sort -g "$work/$tool.times" | awk '{ t[NR] = $1 } END {
      m = NR % 2 ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2
      printf "%.6f %.0f\n", m, 100 * (t[NR] - t[1]) / m }')
    cpu_medians[$tool]="$(awk 'NF == 3 && $1 ~ /^[0-9]+$/ { print $2 + $3 }' "$work/$tool.rss" | sort -g | awk '
      { t[NR] = $1 } END { printf "%.6f\n", NR % 2 ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2 }')"
  done
}

timing_line() {
  echo "Timer: wall time of each run, median of $1 rounds (each round runs every command once); peak RSS:" \
    "largest of those runs (/usr/bin/time %M)"
}

# The largest peak RSS of TOOL's runs in KiB; /usr/bin/time also writes "Command exited with non-zero
# status N" lines.
peak_rss_kib() {
  awk 'NF == 3 && $1 ~ /^[0-9]+$/ { if ($1 > m) m = $1 } END { print m + 0 }' "$work/$1.rss"
}

peak_rss_mib() {
  awk -v kib="$(peak_rss_kib "$1")" 'BEGIN { printf "%.1f", kib / 1024 }'
}

photos_per_second() {
  awk -v n="${files_read[$1]}" -v t="${medians[$1]}" 'BEGIN { printf "%.3f", n / t }'
}

photos_per_cpu_second() {
  awk -v n="${files_read[$1]}" -v t="${cpu_medians[$1]}" 'BEGIN { printf "%.3f", (t > 0 ? n / t : 0) }'
}

# The table of the measured tools; `ratio` is lumetra-cli survey's photos/s over the row's (above 1:
# lumetra-cli is faster), `CPU ratio` the same per CPU second. photos/s counts every JPEG file a command
# read.
print_tool_table() {
  local tool base
  base="$(photos_per_second lumetra)"
  printf '%-34s %7s %9s %7s %9s %8s %8s %9s %13s\n' "command" "files" "median s" "spread" "photos/s" "ratio" \
    "CPU s" "CPU ratio" "peak RSS MiB"
  for tool in "$@"; do
    awk -v name="${tool_labels[$tool]}" -v n="${files_read[$tool]}" -v t="${medians[$tool]}" -v base="$base" \
      -v spread="${spreads[$tool]}" -v cpu="${cpu_medians[$tool]}" -v cpu_base="$(photos_per_cpu_second lumetra)" \
      -v rss="$(peak_rss_mib "$tool")" 'BEGIN {
        printf "%-34s %7d %9.3f %6d%% %9.0f %8.2f %8.3f %9.2f %13s\n", name, n, t, spread, n / t, base / (n / t), cpu,
          (cpu > 0 ? cpu_base / (n / cpu) : 0), rss }'
  done
}

# The goal lines under the heading TITLE: lumetra-cli against each peer, and the floor against
# lumetra-cli, as ratios of photos/s from one run.
print_goals() {
  echo "$1"
  [[ -n "${medians[exiv2]:-}" ]] && goal_line "lumetra / exiv2   " lumetra exiv2 ">=" 10
  [[ -n "${medians[exiftool]:-}" ]] && goal_line "lumetra / exiftool" lumetra exiftool ">=" 300
  [[ -n "${medians[floor]:-}" ]] && goal_line "floor / lumetra   " floor lumetra "<=" 2
  for tool in lumetra lumetra-1; do
    [[ -n "${medians[floor-1]:-}" && -n "${medians[$tool]:-}" ]] && cpu_per_photo_line "$tool"
  done
  return 0
}

# CPU per photo of TOOL's whole process (all its threads, user + system) beside the one-thread floor's, from
# the same run: the floor is the physical work of opening and reading the photos.
cpu_per_photo_line() {
  awk -v label="${tool_labels[$1]}" -v c="${cpu_medians[$1]}" -v n="${files_read[$1]}" \
    -v fc="${cpu_medians[floor-1]}" -v fn="${files_read[floor-1]}" 'BEGIN {
      a = 1e6 * c / n; f = 1e6 * fc / fn
      printf "  CPU per photo, %s: %.1f us against the one-thread floor'"'"'s %.1f us = %.2fx (goal <= 1.5: %s)\n",
        label, a, f, a / f, (a / f <= 1.5 ? "met" : "not met") }'
}

# One goal line: TOOL's photos/s over OTHER's against the goal, and the same ratio per CPU second.
goal_line() {
  local label="$1" tool="$2" other="$3" compare="$4" goal="$5"
  awk -v label="$label" -v a="$(photos_per_second "$tool")" -v b="$(photos_per_second "$other")" \
    -v ca="$(photos_per_cpu_second "$tool")" -v cb="$(photos_per_cpu_second "$other")" -v compare="$compare" \
    -v goal="$goal" 'BEGIN {
      r = a / b
      met = (compare == ">=") ? (r >= goal) : (r <= goal)
      printf "  %s = %7.2f  (goal %s %s: %s); per CPU second: %.2f\n", label, r, compare, goal,
        (met ? "met" : "not met"), (cb > 0 ? ca / cb : 0) }'
}
