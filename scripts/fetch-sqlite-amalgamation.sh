#!/usr/bin/env bash
# Puts the SQLite amalgamation (sqlite3.c, sqlite3.h; SQLite 3.50.4) into third_party/sqlite for
# the Windows build, which has no distribution package of SQLite to link.
# Source: the npm package better-sqlite3, which carries the unmodified amalgamation in
# deps/sqlite3/. Only those two files are taken; nothing of the package's own code is used.
# Every download is checked against the pinned checksums below. Does nothing when the files
# are already there and intact.
set -euo pipefail
cd "$(dirname "$0")/.."

package=better-sqlite3@12.4.1
tarball=better-sqlite3-12.4.1.tgz
tarball_sha256=14398acbf00d1e8fe0a2753df7d4f15c13138e4b874f4e6e96791f65b4536d0d
sqlite3_c_sha256=90b7189566ea710ee18361b25d893f5cda3fcf43033223a16384762f53e99a85
sqlite3_h_sha256=abd1514e0351f79393d1be882830afdb40a8099e8257f311f0bfdf8486f11bea
target=third_party/sqlite

intact() {  # dir: both files present with the pinned checksums
  printf '%s  %s\n%s  %s\n' "$sqlite3_c_sha256" "$1/sqlite3.c" "$sqlite3_h_sha256" "$1/sqlite3.h" |
    sha256sum --check --status 2>/dev/null
}

if intact "$target"; then
  exit 0
fi

command -v npm >/dev/null || { echo "npm is missing: run scripts/install-deps.sh all" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(cd "$work" && npm pack --silent "$package" >/dev/null)
echo "$tarball_sha256  $work/$tarball" | sha256sum --check --status ||
  { echo "checksum mismatch for $tarball from the npm registry" >&2; exit 1; }

tar -xzf "$work/$tarball" -C "$work" package/deps/sqlite3/sqlite3.c package/deps/sqlite3/sqlite3.h
intact "$work/package/deps/sqlite3" ||
  { echo "sqlite3.c or sqlite3.h in $tarball differ from the pinned checksums" >&2; exit 1; }

mkdir -p "$target"
# Replace through a rename in the same directory, so that an interrupted run leaves no half file.
for f in sqlite3.c sqlite3.h; do
  cp "$work/package/deps/sqlite3/$f" "$target/.$f.tmp"
  mv "$target/.$f.tmp" "$target/$f"
done
echo "SQLite amalgamation 3.50.4 in $target" >&2
