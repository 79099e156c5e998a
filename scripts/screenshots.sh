#!/usr/bin/env bash
# Draws the tray's menu, windows, alerts, panel and icon to docs/screenshots/*.png with the
# program's own code on Qt's offscreen platform (no display needed). `make screenshots`.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
cmake -G Ninja -S . -B "$BUILD" >/dev/null
if ! grep -q '^hovra_screenshots:' <(ninja -C "$BUILD" -t targets all 2>/dev/null | sed 's/: .*/:/'); then
  echo "screenshots: the tray is not part of this build (Qt 6 missing?)" >&2
  exit 1
fi
ninja -C "$BUILD" hovra_screenshots
mkdir -p docs/screenshots
QT_QPA_PLATFORM=offscreen "$BUILD/tools/hovra_screenshots" docs/screenshots 2> >(grep -v \
  -e 'does not support' -e 'XDG_RUNTIME_DIR' -e 'systemTrayWindowChanged' -e 'no tray host' >&2)
