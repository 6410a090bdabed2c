#!/usr/bin/env bash
# Renders the main window, linked to the simulated unit, into docs/screenshot-*.png
# (in Japanese) and docs/screenshot-en-*.png (in English).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
bash scripts/deps.sh fonts-ipafont-gothic
cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" -j2 --target kestrava-screenshot kestrava_translations
QT_QPA_PLATFORM=offscreen "$build/bin/kestrava-screenshot" docs/screenshot
QT_QPA_PLATFORM=offscreen "$build/bin/kestrava-screenshot" docs/screenshot-en en
