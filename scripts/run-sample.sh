#!/usr/bin/env bash
# The main job on the bundled sample: build the release tool, convert samples/ADR into a fresh
# embedded Datenpool and print the converted list.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh native
cmake --preset release >/dev/null
cmake --build --preset release -j2 --target anschriftenwandler-cli >/dev/null
pool=build/release/sample-datenpool.db
rm -f "$pool"
build/release/anschriftenwandler-cli init-db "$pool"
build/release/anschriftenwandler-cli convert --adr samples/ADR --db "$pool"
