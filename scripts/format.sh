#!/usr/bin/env bash
# Formats every C++ file of the project by .clang-format. With --check it changes nothing and fails,
# naming the files, when any file has drifted.
set -euo pipefail
cd "$(dirname "$0")/.."

mapfile -t files < <(git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h')
if [ "${1:-}" = "--check" ]; then
  clang-format --dry-run --Werror "${files[@]}"
  echo "clang-format: ${#files[@]} files clean"
else
  clang-format -i "${files[@]}"
fi
