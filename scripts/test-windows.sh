#!/usr/bin/env bash
# The Windows build, cross-compiled with mingw-w64 and tested under Wine: every test executable
# through ctest, then the acceptance sample converted by anschriftenwandler-cli.exe.
# Wine runs in its own prefix (WINEPREFIX; see scripts/wine-env.sh), whose wineserver
# is shut down at the end. Needs what `scripts/install-deps.sh all` installs.
set -Eeuo pipefail
trap 'echo "${0##*/}: failed at line $LINENO: $BASH_COMMAND" >&2' ERR
cd "$(dirname "$0")/.."

source scripts/wine-env.sh

work=$(mktemp -d)
cleanup() {
  if wineserver -k 2>/dev/null; then wineserver -w; fi
  rm -rf "$work"
}
trap cleanup EXIT

scripts/fetch-sqlite-amalgamation.sh
scripts/build-xlsxwriter-windows.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j2
start_wine
ctest --preset windows
# The settings file as Wine's regedit imports and exports it, in the same running prefix.
scripts/test-regedit.sh

# The programs are single executables: every DLL they import is one of Windows' own,
# which Wine keeps in the prefix's system32.
for exe in build/windows/*.exe; do
  dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')
  for dll in $dlls; do
    [ -e "$WINEPREFIX/drive_c/windows/system32/${dll,,}" ] ||
      { echo "$exe imports $dll, which is no system DLL" >&2; exit 1; }
  done
done

# Ctrl+C on a question in a console (Wine gives the tool one on a pseudo-terminal).
rm -rf "$work/console" && cp -r samples "$work/console"
python3 scripts/windows-console-interrupt.py build/windows/anschriftenwandler-cli.exe "$work/console"

sample=$(pwd)/../shared/acceptance/random500
if [ ! -d "$sample/ADR" ]; then
  echo "No acceptance sample at $sample: its check is skipped." >&2
  exit 0
fi
start_wine
status=0
cli=build/windows/anschriftenwandler-cli.exe
wine64 "$cli" convert --adr "$sample/ADR" --db "$work/w.db" >"$work/list.txt" 2>"$work/messages.txt" || status=$?
if [ "$status" -ne 0 ]; then
  cat "$work/messages.txt" >&2
  echo "$cli convert ended with exit code $status" >&2
  exit 1
fi
tr -d '\r' <"$work/list.txt" | diff -u "$sample/expected_list.txt" - >&2 ||
  { echo "The list of $cli differs from expected_list.txt (above)." >&2; exit 1; }
rows=$(sqlite3 "$work/w.db" 'SELECT count(*) FROM AdressenImport')
expected_rows=$(wc -l <"$sample/expected.jsonl")
[ "$rows" -eq "$expected_rows" ] ||
  { echo "$work/w.db holds $rows staging rows, expected $expected_rows" >&2; exit 1; }
echo "Acceptance sample through $cli: $rows rows, every list line as expected." >&2
