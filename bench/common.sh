# Shared by the whole-process benchmarks: sourced after `script_name` and `repo_root` are set.
# `resolve_build` sets `build_dir` (LUMETRA_BUILD, else the release preset's folder); `resolve_cli` sets
# `cli` (absolute path of lumetra-cli: the first argument, or the build's); `resolve_corpus` sets `corpus`
# (the photo corpus) and ends the script quietly when it is missing, since nothing can be measured;
# `resolve_bench_dir` sets `bench_dir`, where photo folders are made, never inside the repository;
# `die` and `machine_line` serve every script, `timed_median` run_peers.sh.

die() {
  echo "$script_name: $*" >&2
  exit 1
}

# One line on the machine and its load when the figures were taken.
machine_line() {
  echo "Machine: $(nproc) cores, $(uname -r), load $(cut -d' ' -f1-3 /proc/loadavg); $(date -u +%Y-%m-%dT%H:%MZ)"
}

resolve_build() {
  build_dir="${LUMETRA_BUILD:-$repo_root/build/release}"
  build_dir="$(realpath -m -- "$build_dir")"
}

resolve_cli() {
  cli="${1:-}"
  if [[ -z "$cli" ]]; then
    resolve_build
    cli="$build_dir/lumetra-cli"
    [[ -x "$cli" ]] || die "no lumetra-cli at $cli; build it (cmake --preset release &&" \
      "cmake --build --preset release), set LUMETRA_BUILD to the build folder or pass its path"
  fi
  [[ -x "$cli" ]] || die "not an executable: $cli"
  cli="$(cd "$(dirname "$cli")" && pwd)/$(basename "$cli")"
}

# The option that makes `lumetra-cli survey` read every photo rather than serve unchanged ones from its
# records cache, so that repeated runs measure the reader; empty for a lumetra-cli from before the cache.
reads_every_photo() {
  "$cli" survey --help 2> /dev/null | grep -q -- --no-cache && echo --no-cache
  return 0
}

resolve_corpus() {
  corpus="${LUMETRA_CORPUS:-$repo_root/../shared/corpus}"
  if [[ ! -d "$corpus" ]]; then
    echo "$script_name: corpus folder not found: $corpus (set LUMETRA_CORPUS); nothing measured" >&2
    exit 0
  fi
  corpus="$(cd "$corpus" && pwd)"
}

resolve_bench_dir() {
  bench_dir="$(realpath -m -- "${LUMETRA_BENCH_DIR:-/tmp/lumetra-bench}")"
  case "$bench_dir/" in
    "$(realpath -- "$repo_root")/"*) die "LUMETRA_BENCH_DIR is inside the repository: $bench_dir" ;;
  esac
  mkdir -p "$bench_dir"
}

# Prints the median wall time in seconds of RUNS runs (after WARMUP untimed ones) of a shell command:
# hyperfine's median when it is installed, else a `date` loop's. Exit codes are ignored: exiv2 returns
# non-zero for photos without Exif.
timed_median() {
  local command="$1" runs="$2" warmup="$3"
  if command -v hyperfine > /dev/null; then
    local csv
    csv="$(mktemp)"
    # hyperfine's warning about the ignored exit codes is dropped; its errors are shown.
    hyperfine --style none --shell bash --ignore-failure --warmup "$warmup" --runs "$runs" \
      --export-csv "$csv" "$command" 2>&1 > /dev/null | grep -v -e 'non-zero exit code' -e '^[[:space:]]*$' >&2 || true
    # Columns: command,mean,stddev,median,user,system,min,max; the command may hold commas, so count
    # fields from the end.
    tail -n 1 "$csv" | awk -F, '{ print $(NF - 4) }'
    rm -f "$csv"
    return
  fi
  local i start end times=()
  for ((i = 0; i < warmup; ++i)); do bash -c "$command" > /dev/null 2>&1 || true; done
  for ((i = 0; i < runs; ++i)); do
    start="$(date +%s.%N)"
    bash -c "$command" > /dev/null 2>&1 || true
    end="$(date +%s.%N)"
    times+=("$(awk -v s="$start" -v e="$end" 'BEGIN { printf "%.6f", e - s }')")
  done
  printf '%s\n' "${times[@]}" | sort -g | awk '{ t[NR] = $1 } END {
    if (NR % 2) print t[(NR + 1) / 2]; else printf "%.6f\n", (t[NR / 2] + t[NR / 2 + 1]) / 2 }'
}
