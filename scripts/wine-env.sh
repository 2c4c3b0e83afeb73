# Sourced by the scripts that run programs under Wine: the environment they share and
# start_wine. Wine runs in its own prefix (WINEPREFIX, an absolute path; default below).
export PATH=/usr/lib/wine:$PATH
export WINEPREFIX=${WINEPREFIX:-/tmp/anschriftenwandler-wine}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"  # no Mono/Gecko installer, no crash dialog
export LC_ALL=C.UTF-8
case $WINEPREFIX in
  /*) ;;
  *) echo "WINEPREFIX must be an absolute path: $WINEPREFIX" >&2; exit 2 ;;
esac

# Wine's server and service processes, started apart from any caught output (they would
# hold its pipe open) before the first program runs.
start_wine() {
  mkdir -p "$WINEPREFIX"  # the server needs the directory; wineboot fills it on first use
  wineserver -p </dev/null >/dev/null 2>&1 || [ $? -eq 2 ]  # 2: it runs already
  wine64 wineboot </dev/null >/dev/null 2>&1
}
