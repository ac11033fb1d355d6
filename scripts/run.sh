#!/usr/bin/env bash
# Builds and starts Orvantix. Without a camera it watches the virtual one;
# without a display it runs offscreen. Extra arguments go to the program
# (for example /START or /DEBUG).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

if ! ls /dev/video* >/dev/null 2>&1 && [ -z "${ORVANTIX_VIRTUAL_CAMERA:-}" ]; then
  export ORVANTIX_VIRTUAL_CAMERA=scene
  echo "No camera found: watching the virtual camera (ORVANTIX_VIRTUAL_CAMERA=scene)."
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  export QT_QPA_PLATFORM=offscreen
  echo "No display: running offscreen. Stop it with Ctrl+C."
fi
exec ./build/app/orvantix "$@"
