#!/usr/bin/env bash
# Runs the seeded soak for longer than the suite does.
# Usage: scripts/soak.sh MINUTES [SEED] [build-dir]
# A failing run prints its seed, the sequence as run and the sequence cut down.
set -euo pipefail
cd "$(dirname "$0")/.."
minutes=${1:?usage: scripts/soak.sh MINUTES [SEED] [build-dir]}
seed=${2:-$(date +%s)}
build=${3:-build}
cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" -j2 --target tst_soak
echo "soak: seed $seed for $minutes min"
QT_QPA_PLATFORM=offscreen KESTRAVA_TEST_DATA="$PWD/tests/soak" \
    KESTRAVA_SOAK_SEED="$seed" KESTRAVA_SOAK_SECONDS=$((minutes * 60)) \
    QTEST_FUNCTION_TIMEOUT=$(((minutes * 60 + 600) * 1000)) \
    "$build/bin/tst_soak" randomUse
