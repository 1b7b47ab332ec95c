#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the benchmarks need.
# Idempotent and silent when everything is already there.
set -euo pipefail

packages=(
  g++ cmake ninja-build make pkg-config
  qt6-base-dev qt6-base-dev-tools
  libsqlite3-dev libicu-dev zlib1g-dev libssl-dev openssl
  libgtest-dev libgmock-dev libbenchmark-dev
  libpcre2-dev
  clang libclang-rt-14-dev clang-format
  xvfb xauth
  nginx-light tinyproxy
  sqlite3 python3
  libreoffice-calc-nogui libreoffice-writer-nogui
  desktop-file-utils appstream dpkg-dev file binutils man-db
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "bootstrap: missing packages: ${missing[*]}" >&2
  echo "bootstrap: run as root (or install them) and try again" >&2
  exit 1
fi

echo "bootstrap: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq >/dev/null
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
# The packaged services are started by the tests on their own ports only.
for svc in nginx tinyproxy; do
  if command -v systemctl >/dev/null 2>&1; then systemctl stop "$svc" >/dev/null 2>&1 || true; fi
  service "$svc" stop >/dev/null 2>&1 || true
done
