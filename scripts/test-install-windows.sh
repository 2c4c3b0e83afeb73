#!/usr/bin/env bash
# The packages of scripts/package-windows.sh as an office gets them: checks the MSI's tables,
# installs it with Wine's msiexec into a fresh prefix, runs the installed command-line tool on
# the acceptance sample and on the bundled sample as the guide describes, opens and closes the
# installed window, uninstalls, and checks that the files are gone. The ZIP must hold the very
# files the MSI installs. Run scripts/package-windows.sh first; needs the windows preset's
# test build (window_e2e_tests.exe) and what `scripts/install-deps.sh all` installs.
set -Eeuo pipefail
trap 'echo "${0##*/}: failed at line $LINENO: $BASH_COMMAND" >&2' ERR
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

build=$root/build/windows
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
name=Anschriftenwandler-$version-x64
msi=$root/dist/$name.msi
zip=$root/dist/$name.zip
driver=$build/tests/e2e/window_e2e_tests.exe
for file in "$msi" "$zip" "$driver"; do
  [ -f "$file" ] || { echo "missing $file: run scripts/package-windows.sh and build the windows preset" >&2; exit 1; }
done
fail() { echo "$*" >&2; exit 1; }

# --- The MSI's tables -------------------------------------------------------------------
property() { msiinfo export "$msi" Property | tr -d '\r' | awk -F'\t' -v p="$1" '$1 == p { print $2 }'; }
[ "$(property ProductVersion)" = "$version" ] || fail "ProductVersion is $(property ProductVersion), not $version"
[ "$(property UpgradeCode)" = "{8C2F6E31-5A4B-4D7E-9B1C-3E5F7A9D0B42}" ] ||
  fail "the upgrade code changed: $(property UpgradeCode); a new version would no longer replace an old one"
[ "$(property ALLUSERS)" = 1 ] || fail "the MSI does not install per machine"
summary() { msiinfo suminfo "$msi" | sed -n "s/^$1: //p"; }
[ "$(summary Template)" = "x64;$(property ProductLanguage)" ] ||
  fail "Template $(summary Template) does not name x64 and the product's language $(property ProductLanguage)"
[ "$(property ProductLanguage)" = 1031 ] || fail "the product's language is $(property ProductLanguage), not German"
[ "$(msiinfo export "$msi" _ForceCodepage | tr -d '\r\0' | tail -1)" = $'1252\t_ForceCodepage' ] ||
  fail "the MSI's codepage is not 1252, which its German texts are written in"
msiinfo export "$msi" Shortcut | grep -q 'übernehmen' || fail "the shortcut's description lost its umlaut"
publisher=$(property Manufacturer)
[ -n "$publisher" ] && [ "$publisher" != "$(property ProductName)" ] || fail "Manufacturer names the product, not its publisher"
[ "$(summary Author)" = "$publisher" ] || fail "the summary's Author $(summary Author) is not the publisher $publisher"
[ "$(property ARPNOMODIFY)" = 1 ] || fail "Apps would offer to modify an installation that has nothing to choose"
[ "$(property ARPCONTACT)" = "$publisher" ] || fail "ARPCONTACT does not name the publisher"
for link in ARPHELPLINK ARPURLINFOABOUT; do
  msiinfo export "$msi" CustomAction | tr -d '\r' | grep -q $'\t'"$link"$'\t\\[INSTALLDIR\\]Kurzanleitung.txt' ||
    fail "$link does not lead to the installed guide"
done
msiinfo export "$msi" Directory | tr -d '\r' | grep -qx $'INSTALLDIR\tProgramFiles64Folder\tAnschriftenwandler' ||
  fail "the MSI does not install into Program Files\\Anschriftenwandler"
msiinfo export "$msi" Shortcut | tr -d '\r' |
  grep -q $'^WindowProgramShortcut\tProgramMenuFolder\tAnschriftenwandler\t.*\t\\[#WindowProgram\\]\t' ||
  fail "the MSI has no Start-menu shortcut to the window program"
msiinfo export "$msi" Upgrade | tr -d '\r' | grep -q $'\t2\t\tNEWERVERSIONFOUND$' ||
  fail "the MSI does not detect a newer installed version"
msiinfo export "$msi" LaunchCondition | tr -d '\r' | grep -q '^NOT NEWERVERSIONFOUND' ||
  fail "the MSI would install over a newer version"
msiinfo export "$msi" InstallExecuteSequence | tr -d '\r' | grep -q '^RemoveExistingProducts' ||
  fail "the MSI does not remove an installed older version"

# --- Wine: a fresh prefix under build/, an X display of our own -------------------------
export PATH=/usr/lib/wine:$PATH
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"  # no Mono/Gecko, no crash dialog
export LC_ALL=C.UTF-8
unset ANSCHRIFTENWANDLER_REGISTRY  # the installed programs read Wine's registry
export WINEPREFIX=$root/build/install-test/prefix
work=$root/build/install-test/work
rm -rf "$root/build/install-test"
mkdir -p "$WINEPREFIX" "$work"
display=90
while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do display=$((display + 1)); done
export DISPLAY=":$display"
xvfb_pid=""
cleanup() {
  timeout 30 wineserver -k >/dev/null 2>&1 || true
  timeout 30 wineserver -w >/dev/null 2>&1 || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$root/build/install-test"
}
trap cleanup EXIT
Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.05; done

# Every Wine call is bounded; wineserver and its services get no output of ours to hold.
bounded() { timeout "$1" wine64 "${@:2}"; }  # wine64 under a time limit
bounded 120 wineboot --init </dev/null >/dev/null 2>&1
# No window manager runs: unmanaged windows close at once instead of waiting for one.
bounded 30 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
if timeout 30 wineserver -k 2>/dev/null; then timeout 30 wineserver -w; fi  # it may have ended by itself
timeout 30 wineserver -p </dev/null >/dev/null 2>&1
bounded 60 wineboot </dev/null >/dev/null 2>&1

# --- Install ---------------------------------------------------------------------------
installed="$WINEPREFIX/drive_c/Program Files/Anschriftenwandler"
# Windows puts a per-machine shortcut into the Start menu of all users; Wine 8's msiexec puts it
# into the installing user's.
menu="Microsoft/Windows/Start Menu/Programs"
shortcuts=("$WINEPREFIX/drive_c/ProgramData/$menu/Anschriftenwandler.lnk"
           "$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/$menu/Anschriftenwandler.lnk")
any_shortcut() { [ -f "${shortcuts[0]}" ] || [ -f "${shortcuts[1]}" ]; }
status=0
bounded 180 msiexec /i "Z:${msi//\//\\}" /qn </dev/null >"$work/install.txt" 2>&1 || status=$?
[ "$status" -eq 0 ] || { cat "$work/install.txt" >&2; fail "msiexec /i ended with exit code $status"; }
any_shortcut || fail "no Start-menu shortcut Anschriftenwandler.lnk"

# The ZIP unpacks to the very files the MSI installed, byte for byte.
unzip -q "$zip" -d "$work/zip"
diff -r "$work/zip/$name" "$installed" >&2 || fail "the MSI's installed files and the ZIP differ (above)"
for file in anschriftenwandler.exe anschriftenwandler-cli.exe Kurzanleitung.txt Datenbank/datenpool.sqlite.sql \
            Datenbank/datenpool.sqlserver.sql Beispiel/registry.reg Beispiel/ADR/01A Lizenzen/SQLite.txt \
            Lizenzen/mingw-w64.txt Lizenzen/GCC-Laufzeitbibliotheken.txt Lizenzen/GPL-3.txt; do
  [ -s "$installed/$file" ] || fail "the package lacks $file"
done
head -c 3 "$installed/Kurzanleitung.txt" | cmp -s - <(printf '\xef\xbb\xbf') ||
  fail "the guide has no UTF-8 byte-order mark"
grep -q $'\r$' "$installed/Kurzanleitung.txt" || fail "the guide's lines do not end in CR LF"
grep -q "Anschriftenwandler $version" "$installed/Kurzanleitung.txt" || fail "the guide does not name version $version"

# --- The installed programs carry the package's version ---------------------------------
cli="C:\\Program Files\\Anschriftenwandler\\anschriftenwandler-cli.exe"
[ "$(bounded 60 "$cli" --version </dev/null | tr -d '\r')" = "anschriftenwandler-cli $version" ] ||
  fail "the installed tool does not report version $version"
for exe in anschriftenwandler.exe anschriftenwandler-cli.exe; do
  resource() { strings -el "$installed/$exe" | grep -A1 -x "$1" | tail -1; }
  [ "$(resource ProductVersion)" = "$version" ] || fail "the version resource of $exe does not name $version"
  [ "$(resource CompanyName)" = "$publisher" ] || fail "the version resource of $exe does not name $publisher"
  [ "$(resource OriginalFilename)" = "$exe" ] || fail "the version resource of $exe names $(resource OriginalFilename)"
done
# What "Apps" shows for the installed product.
uninstall_key="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$(property ProductCode)"
registered() { bounded 60 reg query "$uninstall_key" /v "$1" </dev/null 2>/dev/null | tr -d '\r' | sed -n "s/^ *$1 *REG_[A-Z_]* *//p"; }
[ "$(registered Publisher)" = "$publisher" ] || fail "Apps shows the publisher as \"$(registered Publisher)\""
[ "$(registered HelpLink)" = 'C:\Program Files\Anschriftenwandler\Kurzanleitung.txt' ] ||
  fail "Apps' help link is \"$(registered HelpLink)\", not the installed guide"
[ "$(registered NoModify)" = 0x1 ] || fail "Apps offers to modify the installation"

# --- The installed tool on the acceptance sample ----------------------------------------
sample=$root/../shared/acceptance/random500
if [ -d "$sample/ADR" ]; then
  status=0
  bounded 300 "$cli" convert --adr "Z:$sample/ADR" --db "Z:$work/acceptance.db" </dev/null \
    >"$work/list.txt" 2>"$work/messages.txt" || status=$?
  [ "$status" -eq 0 ] ||
    { cat "$work/messages.txt" >&2; fail "the installed tool's convert ended with exit code $status"; }
  tr -d '\r' <"$work/list.txt" | diff -u "$sample/expected_list.txt" - >&2 ||
    fail "the installed tool's list differs from expected_list.txt (above)"
  rows=$(sqlite3 "$work/acceptance.db" 'SELECT count(*) FROM AdressenImport')
  [ "$rows" -eq "$(wc -l <"$sample/expected.jsonl")" ] || fail "the acceptance sample gave $rows staging rows"
  echo "Acceptance sample through the installed tool: $rows rows, every list line as expected." >&2
else
  echo "No acceptance sample at $sample: its check is skipped." >&2
fi

# --- The guide's trial run on the bundled sample, in a copy as the guide says ------------
cp -r "$installed/Beispiel" "$work/Beispiel"
guide_step() {  # the words after anschriftenwandler-cli, run in the copied folder
  local status=0
  (cd "$work/Beispiel" && bounded 120 "$cli" "$@" </dev/null >>"$work/trial.txt" 2>&1) || status=$?
  [ "$status" -eq 0 ] || { cat "$work/trial.txt" >&2; fail "the guide's step \"$*\" ended with exit code $status"; }
}
guide_step init-db Datenpool.sqlite
guide_step check --registry registry.reg --adr ADR
guide_step convert --registry registry.reg --adr ADR --report bericht.csv
guide_step export --db Datenpool.sqlite --output AdressenImport.csv
for file in bericht.csv AdressenImport.csv; do
  [ "$(grep -c . "$work/Beispiel/$file")" -gt 1 ] || fail "the guide's trial run left no rows in $file"
done
guide_step import --registry registry.reg --yes
imported=$(sqlite3 "$work/Beispiel/Datenpool.sqlite" 'SELECT count(*) FROM Adressen')
[ "$imported" -gt 0 ] || fail "the guide's trial run imported no address"
guide_step undo --registry registry.reg --yes
[ "$(sqlite3 "$work/Beispiel/Datenpool.sqlite" 'SELECT count(*) FROM Adressen')" -eq 0 ] ||
  fail "the guide's undo left addresses behind"
echo "The guide's trial run: $imported addresses imported and undone." >&2

# --- The installed window opens with its caption and closes ------------------------------
status=0
(cd "$build" && ANSCHRIFTENWANDLER_E2E_PROGRAM="C:\\Program Files\\Anschriftenwandler\\anschriftenwandler.exe" \
  bounded 120 "$driver" --gtest_filter='InstalledWindow.*' </dev/null) || status=$?
[ "$status" -eq 0 ] || fail "the installed window did not open and close as expected"

# --- Uninstall ---------------------------------------------------------------------------
status=0
bounded 180 msiexec /x "Z:${msi//\//\\}" /qn </dev/null >"$work/uninstall.txt" 2>&1 || status=$?
[ "$status" -eq 0 ] || { cat "$work/uninstall.txt" >&2; fail "msiexec /x ended with exit code $status"; }
[ ! -e "$installed" ] || { find "$installed" >&2; fail "files are left after the uninstallation (above)"; }
! any_shortcut || fail "the Start-menu shortcut is left after the uninstallation"
echo "$name.msi installed, used, and removed again; $name.zip holds the same files." >&2
