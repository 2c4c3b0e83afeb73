#!/usr/bin/env bash
# Writes the large seeds of the conversion fuzzer into tests/fuzz/corpus: inputs of several
# address files of 100 records each, as the benchmark's corpus generator writes them, so that
# the fuzzer starts from directories of real size. The generator's fixed seed makes the files
# the same on every run.
# Usage: tests/fuzz/make-seeds.sh [anschriftenwandler-bench]   (default: the debug build's)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
generator=${1:-$root/build/debug/anschriftenwandler-bench}
[[ -x $generator ]] || { echo "Kein Generator: $generator (cmake --build --preset debug)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$generator" --generate "$work" 9900 >/dev/null  # 100 records in each of "01A" to "99A"

# seed NAME CONTROL FILE...: the control byte (two hex digits, see ConversionFuzzer.cpp), then
# the files joined by the byte 0x1E; "-" stands for an empty piece.
seed() {
    local name=$1 control=$2 separator=''
    shift 2
    {
        printf "\\x$control"
        for file in "$@"; do
            printf "$separator"
            separator='\x1e'
            [[ $file == - ]] || cat "$work/$file"
        done
    } >"$root/tests/fuzz/corpus/$name"
}

seed three-files 00 01A 02A 03A
# Reads of 4096 bytes; the cancel after 2^11 lines falls into the third file.
seed cancel-in-third-file c3 04A 05A 06A
# The second file is missing; the single-address reader looks up the first record again.
seed missing-second-file 0c 07A - 09A
