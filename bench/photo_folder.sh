# Photo folders for the survey benchmarks, made from the corpus outside the repository. Sourced after
# common.sh, with `corpus` and `bench_dir` set.
#
# `list_corpus_jpegs` sets `corpus_files` (every corpus file whose name ends in ".jpg", any case, sorted).
# `make_photo_folder NAME COPIES KIND` makes `$bench_dir/NAME` (unless a matching one is there) and sets
# `photos` (its path), `photo_count` and `folder_kind`. It holds sub-folders folder000, folder001, ... each
# with every corpus JPEG once, named "<maker folder>_<file name>" so that no two collide. KIND is
#   links   hard links to the corpus files: no disk space, so 100,000 names take seconds; they share the
#           corpus files' data, so after one pass everything is in the page cache (the warm runs)
#   copies  distinct files (no reflinks), so that every file's data must come from the disk when the
#           page cache has been dropped (the cold runs)
# A stamp `NAME.ready` beside the folder, written last, records what it holds; a folder without a
# matching stamp (an interrupted run, another corpus or count) is made again. `remove_photo_folder NAME`
# deletes both.

list_corpus_jpegs() {
  corpus_files=()
  local file
  while IFS= read -r -d '' file; do corpus_files+=("$file"); done < <(find "$corpus" -type f -iname '*.jpg' -print0 | sort -z)
  ((${#corpus_files[@]} > 0)) || die "no JPEG files in $corpus"
}

make_photo_folder() {
  local name="$1" copies="$2" kind="$3"
  [[ "$copies" =~ ^[1-9][0-9]*$ ]] || die "the number of sub-folders must be a positive whole number, got '$copies'"
  [[ -n "${corpus_files+set}" && ${#corpus_files[@]} -gt 0 ]] || list_corpus_jpegs
  local per_copy=${#corpus_files[@]}
  photos="$bench_dir/$name"
  photo_count=$((per_copy * copies))
  local stamp="$photos.ready" expected="$corpus $per_copy x $copies $kind"
  if [[ -f "$stamp" && "$(head -n 1 "$stamp")" == "$expected" ]]; then
    folder_kind="$(sed -n 2p "$stamp")"
    echo "Reusing $photos ($photo_count files, $folder_kind)" >&2
    return
  fi
  echo "Making $photos: $copies sub-folders x $per_copy JPEGs ($kind) ..." >&2
  rm -rf -- "$photos" "$stamp"
  mkdir -p "$photos/folder000"
  folder_kind="hard links to the corpus files"
  [[ "$kind" == copies ]] && folder_kind="distinct copies of the corpus files"
  local file relative target
  for file in "${corpus_files[@]}"; do
    relative="${file#"$corpus"/}"
    target="$photos/folder000/${relative//\//_}"
    if [[ "$folder_kind" == hard* ]] && ln -- "$file" "$target" 2> /dev/null; then continue; fi
    # Another file system, or links refused: real copies from here on.
    [[ "$folder_kind" == hard* ]] && folder_kind="copies of the corpus files (hard links refused)"
    cp --reflink=never -- "$file" "$target"
  done
  # The other sub-folders repeat the first: one cp each instead of one process per file.
  local copy link_option=-a
  [[ "$folder_kind" == hard* ]] && link_option=-al
  for ((copy = 1; copy < copies; ++copy)); do
    cp "$link_option" --reflink=never -- "$photos/folder000" "$photos/$(printf 'folder%03d' "$copy")"
  done
  printf '%s\n%s\n' "$expected" "$folder_kind" > "$stamp"
  echo "Made $photo_count files ($folder_kind)" >&2
}

remove_photo_folder() {
  rm -rf -- "${bench_dir:?}/$1" "$bench_dir/$1.ready"
}
