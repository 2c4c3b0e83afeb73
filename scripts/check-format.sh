#!/usr/bin/env bash
# Checks that every tracked C++ source under src/, tests/, bench/ and fuzz/ is formatted as
# .clang-format says; lists those that are not and exits with 1.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || { echo "clang-format is missing: run scripts/install-deps.sh all" >&2; exit 1; }

checked=0
unformatted=()
while IFS= read -r -d '' file; do
  checked=$((checked + 1))
  clang-format --style=file --dry-run -Werror "$file" >/dev/null 2>&1 || unformatted+=("$file")
done < <(git ls-files -z -- 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h' \
                             'fuzz/*.cpp' 'fuzz/*.h')

if [ ${#unformatted[@]} -gt 0 ]; then
  echo "${#unformatted[@]} of $checked files are not formatted (clang-format -i --style=file FILE):" >&2
  printf '  %s\n' "${unformatted[@]}" >&2
  exit 1
fi
echo "All $checked files are formatted." >&2
