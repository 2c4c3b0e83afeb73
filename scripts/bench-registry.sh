#!/usr/bin/env bash
# The settings file benchmark: a regedit export (UTF-16LE) with KEYS keys under one parent
# (default 400,000, about 100 MB) is read, then read and written with one value more, and
# `settings show` reads it as a user would, timed by /usr/bin/time -v (wall time, peak memory,
# page faults).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset release >/dev/null
cmake --build --preset release -j2 --target anschriftenwandler-registry-bench anschriftenwandler-cli >/dev/null
bench=build/release/anschriftenwandler-registry-bench
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$bench" generate "$work/export.reg" "${1:-400000}"
"$bench" read "$work/export.reg"
"$bench" write "$work/export.reg"
"$bench" read "$work/export.reg"
/usr/bin/time -v build/release/anschriftenwandler-cli settings show --registry "$work/export.reg" 2>&1 >/dev/null |
  grep -E 'Elapsed|Maximum resident|Minor|System time|User time'
ls -l "$work/export.reg"
