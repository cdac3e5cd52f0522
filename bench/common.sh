# Shared by the whole-process benchmarks: sourced after `script_name` and `repo_root` are set.
# Sets `cli` (absolute path of lumetra-cli: the first argument, or the release build's) and `corpus`
# (absolute path of the photo corpus); a missing corpus ends the script quietly, since nothing can be
# measured.

die() {
  echo "$script_name: $*" >&2
  exit 1
}

resolve_cli() {
  cli="${1:-}"
  if [[ -z "$cli" ]]; then
    cli="$repo_root/build/release/lumetra-cli"
    [[ -x "$cli" ]] || die "no lumetra-cli at $cli; build it (cmake --preset release &&" \
      "cmake --build --preset release) or pass its path"
  fi
  [[ -x "$cli" ]] || die "not an executable: $cli"
  cli="$(cd "$(dirname "$cli")" && pwd)/$(basename "$cli")"
}

resolve_corpus() {
  corpus="${LUMETRA_CORPUS:-$repo_root/../shared/corpus}"
  if [[ ! -d "$corpus" ]]; then
    echo "$script_name: corpus folder not found: $corpus (set LUMETRA_CORPUS); nothing measured" >&2
    exit 0
  fi
  corpus="$(cd "$corpus" && pwd)"
}
