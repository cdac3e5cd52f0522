#!/usr/bin/env bash
# Checks that every #include "folder/..." of the project's C++ files follows scripts/layers.txt. Prints each
# include that does not, and exits 1 when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A allowed
while read -r line; do
  line=${line%%#*}
  [[ $line =~ ^([a-z_]+):(.*)$ ]] || continue
  allowed[${BASH_REMATCH[1]}]=" ${BASH_REMATCH[2]} "
done <scripts/layers.txt

failures=0
while IFS= read -r -d '' file; do
  folder=${file%%/*}
  if [[ -z ${allowed[$folder]+set} ]]; then
    echo "$file: the folder '$folder' is not in scripts/layers.txt"
    failures=$((failures + 1))
    continue
  fi
  [[ ${allowed[$folder]} == *" * "* ]] && continue
  while IFS= read -r include; do
    target=${include%%/*}
    [[ $target == "$folder" || ${allowed[$folder]} == *" $target "* ]] && continue
    echo "$file: includes \"$include\", but $folder/ may not depend on $target/"
    failures=$((failures + 1))
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"/]*\/[^"]*\)".*/\1/p' "$file")
done < <(git ls-files -z -- '*.cpp' '*.h')

if ((failures > 0)); then
  echo "check-includes: $failures include(s) against scripts/layers.txt"
  exit 1
fi

# No circle among the files of the engine: a file (its .h and .cpp together) may not reach itself through
# what it includes, so each can be read and tested from the bottom up.
edges=$(git ls-files -- '*.cpp' '*.h' | while IFS= read -r file; do
  from=${file%.*}
  sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"/]*\/[^"]*\)\.h".*/\1/p' "$file" |
    while IFS= read -r to; do [[ $to != "$from" ]] && echo "$from $to"; done
done)
if ! cycle=$(tsort <<<"$edges" 2>&1 >/dev/null) || [[ -n $cycle ]]; then
  echo "$cycle" | sed 's/^tsort: /check-includes: include circle: /'
  exit 1
fi
echo "check-includes: every include follows scripts/layers.txt, and no file reaches itself"
