#!/usr/bin/env bash
# The settings file benchmark: a regedit export (UTF-16LE) with KEYS keys under one parent
# (default 400,000, about 100 MB) is read, then read and written with one value more.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset release >/dev/null
cmake --build --preset release -j2 --target anschriftenwandler-registry-bench >/dev/null
bench=build/release/anschriftenwandler-registry-bench
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$bench" generate "$work/export.reg" "${1:-400000}"
"$bench" read "$work/export.reg"
"$bench" write "$work/export.reg"
"$bench" read "$work/export.reg"
