#!/usr/bin/env bash
# The main job on the bundled sample: build the release tool, then convert samples/ADR into a
# fresh embedded Datenpool the way the office does it, through the demo profile of a copy of
# samples/registry.reg, and print the converted list.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh native
cmake --preset release >/dev/null
cmake --build --preset release -j2 --target anschriftenwandler-cli >/dev/null

cli=$PWD/build/release/anschriftenwandler-cli
adr=$PWD/samples/ADR
work=build/release/sample
rm -rf "$work"
mkdir -p "$work"
cp samples/registry.reg "$work/registry.reg"
cd "$work"
"$cli" init-db Datenpool.sqlite
"$cli" settings show --registry registry.reg
"$cli" convert --registry registry.reg --adr "$adr"
