#!/usr/bin/env bash
# The window end to end: runs window_e2e_tests.exe, which drives anschriftenwandler.exe, in a
# Wine prefix of its own with a virtual desktop on an Xvfb display of its own. ctest runs it as
# the test window_e2e of the windows preset.
# Usage: scripts/test-window-e2e.sh [--build DIR] [--screenshot FILE.png] [--screenshot-144 FILE.png]
#                                   [--bench ADR_DIR]
#   --build DIR            the Windows build (default build/windows), already built
#   --screenshot FILE      also saves the window after a conversion as a PNG
#   --screenshot-144 FILE  the same at 144 dots per inch
#   --bench ADR_DIR        instead of the tests: the window's and the command-line tool's
#                          conversion of ADR_DIR timed in the same prefix (medians of 5)
set -Eeuo pipefail
# Most of what Wine prints goes nowhere: a step that fails says itself which one it was.
trap 'echo "${0##*/}: failed at line $LINENO: $BASH_COMMAND" >&2' ERR
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/windows"
screenshot=""
screenshot144=""
bench=""
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build=$(cd "$2" && pwd); shift 2 ;;
    --screenshot) screenshot=$(realpath -m "$2"); shift 2 ;;
    --screenshot-144) screenshot144=$(realpath -m "$2"); shift 2 ;;
    --bench) bench=$(realpath "$2"); shift 2 ;;
    *) echo "unknown option: $1" >&2; exit 2 ;;
  esac
done

program="$build/anschriftenwandler.exe"
driver="$build/tests/e2e/window_e2e_tests.exe"
for file in "$program" "$driver"; do
  [ -f "$file" ] || { echo "missing $file: build the Windows preset first" >&2; exit 1; }
done

export PATH=/usr/lib/wine:$PATH
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"  # no Mono/Gecko, no crash dialog
export LC_ALL=C.UTF-8                                     # UTF-8 between Wine, unixODBC and the SQLite driver
unset ANSCHRIFTENWANDLER_REGISTRY                         # the program reads Wine's registry

# A display of our own: the first free number from 90 on.
display=90
while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do display=$((display + 1)); done
export DISPLAY=":$display"
export WINEPREFIX
WINEPREFIX=$(mktemp -d /tmp/anschriftenwandler-e2e.XXXXXX)
shots=$(mktemp -d /tmp/anschriftenwandler-shots.XXXXXX)
xvfb_pid=""
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$WINEPREFIX" "$shots"
}
trap cleanup EXIT

Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.05; done

# The prefix: a virtual desktop (no window manager needed, title bars drawn) and Wine's fonts.
# wineserver and its services get no stdout of ours: ctest would wait for them.
wine64 wineboot --init </dev/null >/dev/null 2>&1
wine64 reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f </dev/null >/dev/null 2>&1
wine64 reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1200x960 /f </dev/null >/dev/null 2>&1
# Temporary files (the test's Datenpool) on the host's /tmp: short paths that the host's ODBC driver opens.
wine64 reg add 'HKCU\Environment' /v TEMP /d 'Z:\tmp' /f </dev/null >/dev/null 2>&1
wine64 reg add 'HKCU\Environment' /v TMP /d 'Z:\tmp' /f </dev/null >/dev/null 2>&1
cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
# The server restarts with the prefix as written; one that ended by itself already is as good.
if wineserver -k 2>/dev/null; then wineserver -w; fi
wineserver -p </dev/null >/dev/null 2>&1
wine64 wineboot </dev/null >/dev/null 2>&1

# Saves the window as FILE once the driver has written its place into window.ready; then
# answers with window.taken, for which the driver waits.
watcher=""
watch_for_screenshot() {
  rm -f "$shots/window.ready" "$shots/window.taken"
  export ANSCHRIFTENWANDLER_E2E_SHOTS="$shots"
  (
    for _ in $(seq 6000); do
      if [ -e "$shots/window.ready" ]; then
        import -display "$DISPLAY" -window root -crop "$(cat "$shots/window.ready")" +repage "$1"
        touch "$shots/window.taken"
        exit 0
      fi
      sleep 0.1
    done
  ) &
  watcher=$!
}
# Waits for the watcher of FILE; fails when no picture came.
screenshot_taken() {
  wait "$watcher" || true
  unset ANSCHRIFTENWANDLER_E2E_SHOTS
  [ -s "$1" ] && echo "screenshot: $1" || { echo "no screenshot taken" >&2; return 1; }
}

status=0
if [ -n "$bench" ]; then
  (cd "$build" && ANSCHRIFTENWANDLER_E2E_BENCH="$bench" wine64 "$driver" --gtest_filter='WindowTest.Benchmark*' </dev/null)
  exit $?
fi
[ -n "$screenshot" ] && watch_for_screenshot "$screenshot"
(cd "$build" && wine64 "$driver" </dev/null) || status=$?
if [ -n "$screenshot" ]; then screenshot_taken "$screenshot" || status=1; fi
# The layout once more at 144 dots per inch (150 %): every position and font follows the screen's DPI.
wine64 reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f </dev/null >/dev/null 2>&1
filter='WindowTest.OpensWith*'
if [ -n "$screenshot144" ]; then
  watch_for_screenshot "$screenshot144"
  filter="$filter:WindowTest.ConvertsTheSample*"
fi
(cd "$build" && wine64 "$driver" --gtest_filter="$filter" </dev/null) || status=$?
if [ -n "$screenshot144" ]; then screenshot_taken "$screenshot144" || status=1; fi
exit $status
