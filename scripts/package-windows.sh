#!/usr/bin/env bash
# The Windows release: builds the programs with the windows preset and makes two packages in
# dist/ that hold the same files:
#   Anschriftenwandler-<version>-x64.msi  for installing (per machine, also by group policy)
#   Anschriftenwandler-<version>-x64.zip  for unpacking and running in place
# The version is the project's (project() in CMakeLists.txt). Needs what
# `scripts/install-deps.sh all` installs (mingw-w64, wixl, zip).
set -Eeuo pipefail
trap 'echo "${0##*/}: failed at line $LINENO: $BASH_COMMAND" >&2' ERR
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/fetch-sqlite-amalgamation.sh
scripts/build-xlsxwriter-windows.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j2 --target anschriftenwandler-window anschriftenwandler-cli
build=$root/build/windows
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || { echo "no project version in $build/CMakeCache.txt" >&2; exit 1; }
publisher=$(sed -n 's/^PUBLISHER:INTERNAL=//p' "$build/CMakeCache.txt")
[ -n "$publisher" ] || { echo "no publisher in $build/CMakeCache.txt" >&2; exit 1; }
name=Anschriftenwandler-$version-x64

# Both programs must run on a bare Windows: every DLL they load has to be one of the system's.
system_dlls=" advapi32.dll comctl32.dll comdlg32.dll gdi32.dll kernel32.dll msvcrt.dll odbc32.dll ole32.dll shell32.dll user32.dll "
for exe in anschriftenwandler.exe anschriftenwandler-cli.exe; do
  for dll in $(x86_64-w64-mingw32-objdump -p "$build/$exe" | sed -n 's/^\s*DLL Name: //p'); do
    [[ $system_dlls == *" ${dll,,} "* ]] ||
      { echo "$exe needs $dll, which Windows does not bring: the package would not run" >&2; exit 1; }
  done
done

# A text file as Notepad reads it best: UTF-8 with byte-order mark, CR LF line ends.
as_windows_text() {  # source target
  { printf '\xef\xbb\xbf'; sed 's/\r$//; s/$/\r/' "$1"; } >"$2"
}

# The package's folder, as it is installed and as it is unpacked.
stage=$build/package/$name
rm -rf "$build/package"
mkdir -p "$stage/Datenbank" "$stage/Beispiel" "$stage/Lizenzen"
for exe in anschriftenwandler.exe anschriftenwandler-cli.exe; do
  x86_64-w64-mingw32-strip -o "$stage/$exe" "$build/$exe"  # symbols help no office, they only take room
done
sed "s/@VERSION@/$version/g" packaging/windows/Kurzanleitung.txt >"$build/package/Kurzanleitung.txt"
as_windows_text "$build/package/Kurzanleitung.txt" "$stage/Kurzanleitung.txt"
cp db/schema/datenpool.sqlite.sql db/schema/datenpool.sqlserver.sql "$stage/Datenbank/"
cp -r samples/ADR "$stage/Beispiel/ADR"
cp samples/registry.reg "$stage/Beispiel/registry.reg"

# Licences of what is linked into the programs: SQLite, libxlsxwriter (with its bundled zip
# writer), zlib, the mingw-w64 runtime (with
# winpthreads) and GCC's runtime libraries (libstdc++, libgcc), under the GPL with the GCC
# Runtime Library Exception. The texts are those of the packages the programs were built with.
sqlite_version=$(sed -n 's/^#define SQLITE_VERSION *"\(.*\)"/\1/p' third_party/sqlite/sqlite3.h)
{
  echo "SQLite $sqlite_version (https://sqlite.org/copyright.html), eingebaut in beide Programme."
  echo
  sed -n '/The author disclaims copyright/,/May you share freely/p' third_party/sqlite/sqlite3.h |
    sed 's/^\*\* \{0,1\}//'
} >"$build/package/SQLite.txt"
as_windows_text "$build/package/SQLite.txt" "$stage/Lizenzen/SQLite.txt"
as_windows_text third_party/xlsxwriter/License.txt "$stage/Lizenzen/libxlsxwriter.txt"
as_windows_text /usr/share/doc/libz-mingw-w64/copyright "$stage/Lizenzen/zlib.txt"
as_windows_text /usr/share/doc/mingw-w64-x86-64-dev/copyright "$stage/Lizenzen/mingw-w64.txt"
as_windows_text /usr/share/doc/gcc-mingw-w64-base/copyright "$stage/Lizenzen/GCC-Laufzeitbibliotheken.txt"
as_windows_text /usr/share/common-licenses/GPL-3 "$stage/Lizenzen/GPL-3.txt"

mkdir -p dist
rm -f "dist/$name.zip" "dist/$name.msi"
(cd "$build/package" && zip -qrX "$root/dist/$name.zip" "$name")

# The folders besides the programs and the guide, listed for the installer.
find "$stage/Datenbank" "$stage/Beispiel" "$stage/Lizenzen" -type f | LC_ALL=C sort |
  wixl-heat --prefix "$stage/" --var var.SourceDir --directory-ref INSTALLDIR --component-group PackageData --win64 \
  >"$build/package/PackageData.wxs"
# wixl finds files only by paths relative to the current directory.
wixl -a x64 -D Version="$version" -D Publisher="$publisher" -D SourceDir="${stage#"$root/"}" -D Win64=yes \
  -D Icon=src/app/win32/resources/anschriftenwandler.ico \
  -o "dist/$name.msi" packaging/windows/Anschriftenwandler.wxs "$build/package/PackageData.wxs"
# What wixl leaves at its defaults: the codepage of the German texts (Windows-1252, in which
# wixl already wrote them) and the Template's language, which must be the product's (1031).
printf '\r\n\r\n1252\t_ForceCodepage\r\n' >"$build/package/_ForceCodepage.idt"
msibuild "dist/$name.msi" -i "$build/package/_ForceCodepage.idt"
revision=$(msiinfo suminfo "dist/$name.msi" | sed -n 's/^Revision number (UUID): //p')
msibuild "dist/$name.msi" -s "Anschriftenwandler $version" "$publisher" "x64;1031" "$revision"

echo "dist/$name.msi"
echo "dist/$name.zip"
