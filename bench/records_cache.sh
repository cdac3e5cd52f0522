#!/usr/bin/env bash
# The records cache (Lumetra_Records.db): what a re-survey of an unchanged folder opens, how much faster it
# is than the first survey with a warm and with a cold page cache, what the cache costs a first survey, and
# the database's size per photo. Every figure is lumetra-cli against itself in the same run: `--no-cache`
# is the peer.
#
#   opens      photo files opened (openat calls on the folder's files, counted by strace) by a re-survey
#   warm       median wall time of: --no-cache; a first survey into an empty database; a re-survey
#   warm CPU   the same three as median CPU time (user + system), the figure to trust on a loaded machine
#   first      a first survey against --no-cache in PAIRS pairs run in turn, each run in a program folder
#              of its own made before its clock starts (the crop file shared): the median of the pairs'
#              ratios of wall and of CPU time, so that the machine's drift falls on both alike
#   cold       the same with the page cache dropped before every run (needs root; skipped otherwise)
#              Both on distinct copies of the corpus JPEGs (1.5 GB for the default 27 sub-folders).
#   size       the database's bytes (its journal folded in) per photo after a survey of SIZE_COPIES
#              sub-folders of hard links
#   memory     peak resident set of --no-cache and of a re-survey (GNU time)
#   instructions  callgrind's count for --no-cache and a first survey (CALLGRIND=0 skips it)
#
# Usage: bench/records_cache.sh [PATH/TO/lumetra-cli]
# Environment: LUMETRA_CORPUS, LUMETRA_BUILD, LUMETRA_BENCH_DIR as for survey_peers.sh;
#   WARM_COPIES (default 27), COLD_COPIES (default 27), SIZE_COPIES (default 900: about 100,000 photos),
#   RUNS (default 3), PAIRS (default 15), COLD=0 skips the cold runs (they drop the page cache of the whole
#   machine), KEEP=1 keeps the folders.
set -euo pipefail

repo_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
runs="${RUNS:-3}"
script_name=records_cache.sh
source "$repo_root/bench/common.sh"
source "$repo_root/bench/photo_folder.sh"

resolve_build
resolve_cli "${1:-}"
resolve_corpus
resolve_bench_dir

work="$(mktemp -d)"
made=()
cleanup() {
  rm -rf -- "$work"
  if [[ "${KEEP:-0}" != 1 ]]; then
    local name
    for name in "${made[@]}"; do remove_photo_folder "$name"; done
  fi
}
trap cleanup EXIT
export LUMETRA_HOME="$work"
db="$work/Lumetra_Records.db"
survey() { "$cli" survey --json --threads 1 "$@" > /dev/null; }

machine_line
echo "lumetra-cli: $cli"

# Photos of the folder that a survey opened: openat calls naming a file under it, folders left out.
count_opens() {
  local folder="$1" log="$work/strace.log"
  shift
  strace -f -e trace=openat -o "$log" "$cli" survey --json --threads 1 "$@" "$folder" > /dev/null
  grep -F "\"$folder/" "$log" | grep -v O_DIRECTORY | grep -vc ' = -1 ' || true
}

# Distinct copies even for the warm runs: hard links share the corpus files' inodes, whose change time moves
# whenever anything links or unlinks them (another benchmark on the machine), and a file whose change time
# moved is rightly read again.
warm_copies="${WARM_COPIES:-27}"
make_photo_folder "copies-$warm_copies" "$warm_copies" copies
made+=("copies-$warm_copies")
rm -f -- "$db"*
sleep 2.1  # the folder's change times settle
survey "$photos"
cmp <("$cli" survey --json --no-cache "$photos") <("$cli" survey --json "$photos") &&
  echo "json: a re-survey prints byte for byte what --no-cache prints ($photo_count photos)"
if command -v strace > /dev/null; then
  echo "opens: --no-cache $(count_opens "$photos" --no-cache), re-survey $(count_opens "$photos") of $photo_count photos"
fi
no_cache="$(timed_median "$cli survey --json --threads 1 --no-cache '$photos' > /dev/null" "$runs" 1)"
first="$(timed_median "rm -f '$db'*; $cli survey --json --threads 1 '$photos' > /dev/null" "$runs" 1)"
survey "$photos"
again="$(timed_median "$cli survey --json --threads 1 '$photos' > /dev/null" "$runs" 1)"
echo "warm ($photo_count photos): --no-cache ${no_cache}s, first survey ${first}s, re-survey ${again}s;" \
  "re-survey $(echo "$no_cache / $again" | bc -l | cut -c1-5)x faster; first survey" \
  "$(echo "($first / $no_cache - 1) * 100" | bc -l | cut -c1-5)% slower than --no-cache"

# A first survey against --no-cache, in pairs. Each run gets a program folder of its own, made before the
# clock starts, so that no run pays for deleting the database of the one before (a real first survey
# deletes nothing); both sides share the crop file made above.
homes="$work/homes"
mkdir -p "$homes"
crop="$work/Lumetra_Crop.ini"
# Wall and CPU seconds (user + system) of one survey with the given options.
survey_times() {
  local home
  home="$(mktemp -d "$homes/XXXXXX")"
  { TIMEFORMAT='%3R %3U %3S'; time LUMETRA_HOME="$home" "$cli" survey --json --threads 1 --crop-file "$crop" "$@" \
    "$photos" > /dev/null 2>&1; } 2>&1 | awk '{ printf "%.3f %.3f\n", $1, $2 + $3 }'
}
median() { printf '%s\n' "$@" | sort -g | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
pairs="${PAIRS:-15}"
survey_times > /dev/null
survey_times --no-cache > /dev/null
wall_ratios=() cpu_ratios=() first_cpu=() none_cpu=()
for ((i = 0; i < pairs; ++i)); do
  read -r f_wall f_cpu < <(survey_times)
  read -r n_wall n_cpu < <(survey_times --no-cache)
  wall_ratios+=("$(echo "$f_wall / $n_wall" | bc -l)")
  cpu_ratios+=("$(echo "$f_cpu / $n_cpu" | bc -l)")
  first_cpu+=("$f_cpu") none_cpu+=("$n_cpu")
done
rm -rf -- "$homes"
echo "first survey against --no-cache ($pairs pairs in turn, $photo_count photos): CPU" \
  "$(median "${first_cpu[@]}") against $(median "${none_cpu[@]}") s; median of the pairs' ratios: CPU" \
  "$(echo "($(median "${cpu_ratios[@]}") - 1) * 100" | bc -l | cut -c1-5)% more," \
  "wall $(echo "($(median "${wall_ratios[@]}") - 1) * 100" | bc -l | cut -c1-5)% more"

# Median CPU seconds (user + system, the command's processes together, to the millisecond) of RUNS runs after
# one untimed: on a machine shared with other work, the figure that does not count the waits.
cpu_median() {
  local command="$1" i
  bash -c "$command" > /dev/null 2>&1 || true
  for ((i = 0; i < runs; ++i)); do
    { TIMEFORMAT='%3U %3S'; time bash -c "$command" > /dev/null 2>&1; } 2>&1 | awk '{ printf "%.3f\n", $1 + $2 }'
  done | sort -g | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'
}
c_none="$(cpu_median "rm -f '$db-none'; $cli survey --json --threads 1 --no-cache '$photos'")"
c_first="$(cpu_median "rm -f '$db'*; $cli survey --json --threads 1 '$photos'")"
survey "$photos"
c_again="$(cpu_median "rm -f '$db-none'; $cli survey --json --threads 1 '$photos'")"
echo "warm CPU s ($photo_count photos): --no-cache $c_none, first survey $c_first, re-survey $c_again;" \
  "re-survey $(echo "$c_first / $c_again" | bc -l | cut -c1-5)x the first survey's CPU," \
  "$(echo "$c_none / $c_again" | bc -l | cut -c1-5)x --no-cache's; first survey" \
  "$(echo "($c_first / $c_none - 1) * 100" | bc -l | cut -c1-5)% more than --no-cache"

# Instructions (callgrind, exact where CPU times are not): --no-cache and a first survey into an empty database.
if [[ "${CALLGRIND:-1}" != 0 ]] && command -v valgrind > /dev/null; then
  instructions() {
    local home out
    home="$(mktemp -d "$work/callgrind-XXXXXX")"
    out="$home/callgrind.out"
    LUMETRA_HOME="$home" valgrind --tool=callgrind --callgrind-out-file="$out" "$cli" survey --json --threads 1 \
      --crop-file "$crop" "$@" "$photos" > /dev/null 2>&1
    awk '/^summary:/ { print $2 }' "$out"
    rm -rf -- "$home"
  }
  i_none="$(instructions --no-cache)" i_first="$(instructions)"
  echo "instructions (callgrind, $photo_count photos): --no-cache $i_none, first survey $i_first:" \
    "$(((i_first - i_none) / 1000000)) M more ($(echo "($i_first / $i_none - 1) * 100" | bc -l | cut -c1-5)%)," \
    "$(((i_first - i_none) / photo_count)) per photo"
fi

if command -v /usr/bin/time > /dev/null; then
  peak() { /usr/bin/time -f %M "$cli" survey --json --threads 1 "$@" 2>&1 > /dev/null | tail -n 1; }
  echo "memory: peak RSS --no-cache $(peak --no-cache "$photos") KiB, re-survey $(peak "$photos") KiB"
fi

drop_caches='sync; echo 3 > /proc/sys/vm/drop_caches'
if [[ "${COLD:-1}" == 0 ]]; then
  echo "cold: skipped (COLD=0)"
elif bash -c "$drop_caches" 2> /dev/null; then
  cold_copies="${COLD_COPIES:-27}"
  make_photo_folder "copies-$cold_copies" "$cold_copies" copies
  made+=("copies-$cold_copies")
  rm -f -- "$db"*
  sleep 2.1
  cold() { bash -c "$drop_caches"; local start end; start=$(date +%s.%N); "$@" > /dev/null; end=$(date +%s.%N); echo "$end - $start" | bc -l; }
  c_none=() c_first=() c_again=()
  for ((i = 0; i < runs; ++i)); do
    c_none+=("$(cold "$cli" survey --json --threads 1 --no-cache "$photos")")
    rm -f -- "$db"*
    c_first+=("$(cold "$cli" survey --json --threads 1 "$photos")")
    c_again+=("$(cold "$cli" survey --json --threads 1 "$photos")")
  done
  n="$(median "${c_none[@]}")" f="$(median "${c_first[@]}")" a="$(median "${c_again[@]}")"
  echo "cold ($photo_count photos): --no-cache ${n}s, first survey ${f}s, re-survey ${a}s;" \
    "re-survey $(echo "$n / $a" | bc -l | cut -c1-5)x faster; first survey" \
    "$(echo "($f / $n - 1) * 100" | bc -l | cut -c1-5)% slower than --no-cache"
else
  echo "cold: cannot drop the page cache (needs root and a writable /proc/sys/vm/drop_caches); skipped"
fi

size_copies="${SIZE_COPIES:-900}"
make_photo_folder "size-$size_copies" "$size_copies" links
made+=("size-$size_copies")
rm -f -- "$db"*
sleep 2.1
survey "$photos"
# A survey leaves its rows in the journal; folded into the file, they are counted once.
sqlite3 "$db" 'PRAGMA wal_checkpoint(TRUNCATE)' > /dev/null
bytes="$(stat -c %s "$db")"
rows="$(sqlite3 "$db" 'SELECT count(*) FROM photos')"
((rows > 0)) || die "no row was written: the corpus files' change times moved during the survey (links made elsewhere?)"
echo "size: $bytes bytes for $rows rows ($photo_count photos): $((bytes / rows)) bytes per photo" \
  "(paths of $(sqlite3 "$db" 'SELECT avg(length(path)) FROM photo_facts' | cut -c1-5) bytes on average)"
