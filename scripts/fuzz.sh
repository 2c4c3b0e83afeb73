#!/usr/bin/env bash
# Builds the fuzz preset and feeds the conversion fuzzer for a bounded time: CI's short run, or
# a long campaign. Inputs may grow at once to five address files of real size (80 KB, the
# length control off); the seeds in tests/fuzz/corpus start there.
# Usage: scripts/fuzz.sh [seconds]   (default 60)
# Exits non-zero when the fuzzer finds a crash, a leak, undefined behaviour or a broken
# invariant; the input that caused it lies in build/fuzz/artifacts/.
set -euo pipefail
seconds=${1:-60}
case $seconds in '' | *[!0-9]*) echo "Aufruf: scripts/fuzz.sh [Sekunden]" >&2; exit 2 ;; esac

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/fuzz"
cmake --preset fuzz -S "$root" >/dev/null
cmake --build "$build" -j2 --target conversion_fuzzer

# New inputs go to a working corpus in the build tree; the seeds in the source tree stay as written.
mkdir -p "$build/corpus" "$build/artifacts"
cd "$build"
exec ./conversion_fuzzer -max_total_time="$seconds" -rss_limit_mb=2048 -max_len=81920 -len_control=0 -timeout=30 \
  -dict="$root/tests/fuzz/adr.dict" -print_final_stats=1 -artifact_prefix="$build/artifacts/" \
  "$build/corpus" "$root/tests/fuzz/corpus"
