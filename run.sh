#!/usr/bin/env bash
# Installs what is missing, builds build/ and starts Quillon from it: the headless
# service for now (monitor lines on standard output; Ctrl+C ends it).
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
scripts/build.sh
exec build/quillon --headless "$@"
