#!/usr/bin/env bash
# The conversion benchmark: a 100,000-record corpus converted into the embedded Datenpool,
# side by side with the sqlite3 shell's .import of the same rows; the corpus in
# ../shared/bench/ADR-100k as well when it is there.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh native
cmake --preset release >/dev/null
cmake --build --preset release -j2 --target anschriftenwandler-bench >/dev/null
shared_corpus="$(pwd)/../shared/bench/ADR-100k"
build/release/anschriftenwandler-bench build/release/anschriftenwandler-cli "${1:-100000}" \
    $([ -d "$shared_corpus" ] && realpath "$shared_corpus")
