#!/usr/bin/env bash
# Installs what is missing, builds build/ and starts Quillon from it.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
scripts/build.sh
exec build/quillon "$@"
