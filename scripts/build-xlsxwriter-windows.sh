#!/usr/bin/env bash
# Builds libxlsxwriter for the Windows programs: a static library made with mingw-w64 from
# Debian's source package of the version the native build links (1.1.4), against the static
# zlib of Debian's libz-mingw-w64-dev, into third_party/xlsxwriter (include/, lib/). The
# package's own bundled zip writer (minizip) is compiled in, so nothing beyond the system's
# DLLs is needed at run time. Does nothing when the library is already there for this version.
# Adds a deb-src entry for the archive the machine already uses when there is none.
set -euo pipefail
cd "$(dirname "$0")/.."

version=1.1.4
package_version=1.1.4-2
target=third_party/xlsxwriter
mingw_root=/usr/x86_64-w64-mingw32

if [ -f "$target/lib/libxlsxwriter.a" ] && [ "$(cat "$target/VERSION" 2>/dev/null)" = "$package_version" ]; then
  exit 0
fi

[ -f "$mingw_root/lib/libz.a" ] || { echo "zlib for mingw-w64 is missing: run scripts/install-deps.sh all" >&2; exit 1; }
command -v dpkg-source >/dev/null || { echo "dpkg-dev is missing: run scripts/install-deps.sh all" >&2; exit 1; }

sudo_cmd=""; [ "$(id -u)" -ne 0 ] && sudo_cmd=sudo
if ! grep -rqs '^Types:.*deb-src\|^deb-src ' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  # The source entry of the same archive and suite as the machine's binary packages.
  uri=$(sed -n 's/^URIs: *//p' /etc/apt/sources.list.d/debian.sources 2>/dev/null | head -n1)
  suite=$(sed -n 's/^Suites: *\([^ ]*\).*/\1/p' /etc/apt/sources.list.d/debian.sources 2>/dev/null | head -n1)
  [ -n "$uri" ] && [ -n "$suite" ] || { echo "no Debian archive found in /etc/apt/sources.list.d/debian.sources" >&2; exit 1; }
  printf 'Types: deb-src\nURIs: %s\nSuites: %s\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
    "$uri" "$suite" | $sudo_cmd tee /etc/apt/sources.list.d/debian-src.sources >/dev/null
  $sudo_cmd apt-get update -qq
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# apt-get source checks the package's signature and checksums against the archive's index.
(cd "$work" && apt-get source -qq --only-source "libxlsxwriter=$package_version" >/dev/null)
source_dir="$work/libxlsxwriter-$version"
[ -f "$source_dir/CMakeLists.txt" ] || { echo "apt-get source gave no $source_dir" >&2; exit 1; }

cmake -S "$source_dir" -B "$work/build" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$(pwd)/cmake/mingw-w64-x86_64-posix.cmake" \
  -DBUILD_SHARED_LIBS=OFF -DUSE_SYSTEM_MINIZIP=OFF -DBUILD_TESTS=OFF -DBUILD_EXAMPLES=OFF \
  -DZLIB_INCLUDE_DIR="$mingw_root/include" -DZLIB_LIBRARY="$mingw_root/lib/libz.a" \
  -DCMAKE_INSTALL_PREFIX="$work/install" >/dev/null
cmake --build "$work/build" -j2 >/dev/null
cmake --install "$work/build" >/dev/null
[ -f "$work/install/lib/libxlsxwriter.a" ] || { echo "the build left no libxlsxwriter.a" >&2; exit 1; }

# Replaced through a rename, so that an interrupted run leaves no half library.
mkdir -p third_party
rm -rf "$target.tmp"
mkdir -p "$target.tmp"
cp -r "$work/install/include" "$work/install/lib" "$target.tmp/"
cp "$source_dir/License.txt" "$target.tmp/License.txt"
echo "$package_version" >"$target.tmp/VERSION"
rm -rf "$target"
mv "$target.tmp" "$target"
echo "libxlsxwriter $package_version for Windows in $target" >&2
