#!/usr/bin/env bash
# Builds Kestrava and runs the whole test suite through CTest.
# Usage: scripts/test.sh [build-dir] [extra cmake options ...]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
shift || true

bash scripts/deps.sh
cmake -S . -B "$build" -G Ninja "$@"
cmake --build "$build" -j2
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 --timeout 600
