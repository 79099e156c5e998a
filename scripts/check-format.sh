#!/usr/bin/env bash
# Fails when a C++ file of the repository is not laid out as .clang-format says; prints
# the files and the command that mends them.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || { echo "check-format: clang-format is not installed" >&2; exit 1; }
mapfile -t files < <(git ls-files '*.cc' '*.h' '*.mm')
bad=()
for f in "${files[@]}"; do
  if ! clang-format --dry-run --Werror "$f" >/dev/null 2>&1; then bad+=("$f"); fi
done
if ((${#bad[@]})); then
  printf 'not formatted: %s\n' "${bad[@]}" >&2
  echo "mend with: clang-format -i ${bad[*]}" >&2
  exit 1
fi
echo "check-format: ${#files[@]} files formatted"
