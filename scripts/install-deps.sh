#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those that are missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config ccache git clang clang-format libclang-rt-14-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libsqlite3-dev qt6-base-dev libcurl4-openssl-dev libx11-dev libxtst-dev
  xvfb xauth openbox trayer xdg-utils desktop-file-utils xclip
  python3-aiosmtpd python3-pyftpdlib
  poppler-utils fonts-liberation2
  # the CSV benchmark times the sqlite3 shell's own CSV export and import beside ours
  sqlite3
  # the rich-text editor's tests read its saved RTF back with another program's reader
  unrtf
  # The printer list reads the desktop's print system; its test asks lpstat what CUPS has.
  libcups2-dev cups-client
  # Field encryption (OpenSSL's ciphers and key derivation).
  libssl-dev
  # The storage engine's server backend (libpq) and the local cluster its tests start.
  libpq-dev postgresql
)

missing=()
# The CSV tests fetch their reference corpus with npm; a machine whose Node.js came from
# elsewhere has npm already, one without it takes Debian's.
command -v npm >/dev/null 2>&1 || missing+=(npm)
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "Run as root (or install these packages): ${missing[*]}" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
