#!/usr/bin/env bash
# Installs the Debian packages Quillon needs to build, run and test. Quick when they are
# all there already; never asks a question.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev libqscintilla2-qt6-dev libgl-dev
  firebird-dev libfbclient2 firebird3.0-server-core firebird3.0-utils
  libmariadb-dev
)
if [ "${1:-}" = "--test" ]; then
  packages+=(libgtest-dev mariadb-server xvfb xauth lua5.4 libbenchmark-dev)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}" </dev/null
