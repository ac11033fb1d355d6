#!/usr/bin/env bash
# Builds everything and runs every test; ends with CTest's summary.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure --timeout 300
