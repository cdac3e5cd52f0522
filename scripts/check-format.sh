#!/usr/bin/env bash
# Checks that every C++ file of the project is formatted as .clang-format says; `clang-format -i FILE` mends one.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -z -- '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror
echo "check-format: every C++ file is formatted"
