#!/usr/bin/env bash
# The window end to end: runs window_e2e_tests.exe, which drives anschriftenwandler.exe, in a
# Wine prefix of its own with a virtual desktop on an Xvfb display of its own. ctest runs it as
# the test window_e2e of the windows preset.
# Usage: scripts/test-window-e2e.sh [--build DIR] [--screenshot FILE.png]
#   --build DIR        the Windows build (default build/windows), already built
#   --screenshot FILE  also saves the window after a conversion as a PNG
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/windows"
screenshot=""
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build=$(cd "$2" && pwd); shift 2 ;;
    --screenshot) screenshot=$(realpath -m "$2"); shift 2 ;;
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
wineserver -k; wineserver -w
wineserver -p </dev/null >/dev/null 2>&1
wine64 wineboot </dev/null >/dev/null 2>&1

watcher=""
if [ -n "$screenshot" ]; then
  export ANSCHRIFTENWANDLER_E2E_SHOTS="$shots"
  # The driver writes the window's place into window.ready and waits for window.taken.
  (
    for _ in $(seq 6000); do
      if [ -e "$shots/window.ready" ]; then
        import -display "$DISPLAY" -window root -crop "$(cat "$shots/window.ready")" +repage "$screenshot"
        touch "$shots/window.taken"
        exit 0
      fi
      sleep 0.1
    done
  ) &
  watcher=$!
fi

status=0
(cd "$build" && wine64 "$driver" </dev/null) || status=$?
# The layout once more at 144 dots per inch (150 %): every position follows the screen's DPI.
wine64 reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f </dev/null >/dev/null 2>&1
(cd "$build" && wine64 "$driver" --gtest_filter='WindowTest.OpensWith*' </dev/null) || status=$?
if [ -n "$watcher" ]; then
  wait "$watcher" || true
  [ -s "$screenshot" ] && echo "screenshot: $screenshot" || { echo "no screenshot taken" >&2; status=1; }
fi
exit $status
