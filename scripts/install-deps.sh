#!/usr/bin/env bash
# Installs what building and testing needs on Debian 12, only when something is missing.
# Usage: scripts/install-deps.sh [native|all]   (native: build and run on Linux; all: also tests, Windows, fuzzing)
set -euo pipefail
what=${1:-all}

native=(cmake make g++ pkg-config libsqlite3-dev sqlite3 googletest libgtest-dev libbenchmark-dev
        unixodbc-dev libsqliteodbc libxlsxwriter-dev)
full=(clang clang-format libclang-rt-14-dev g++-mingw-w64-x86-64-posix wine64 fonts-wine xvfb tdsodbc locales
      imagemagick ca-certificates wixl msitools zip unzip binutils python3
      libreoffice-calc-nogui jq libz-mingw-w64-dev dpkg-dev)

want=("${native[@]}")
[ "$what" = all ] && want+=("${full[@]}")
# The amalgamation of SQLite for the Windows build comes from the npm registry.
[ "$what" = all ] && ! command -v npm >/dev/null && want+=(npm)

missing=()
for p in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}" >&2
  sudo_cmd=""; [ "$(id -u)" -ne 0 ] && sudo_cmd=sudo
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

if [ "$what" = all ] && ! locale -a 2>/dev/null | grep -qi '^de_DE.utf8$'; then
  sudo_cmd=""; [ "$(id -u)" -ne 0 ] && sudo_cmd=sudo
  $sudo_cmd sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
  $sudo_cmd locale-gen >/dev/null
fi
