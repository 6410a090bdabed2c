#!/usr/bin/env bash
# Builds Kestrava, starts the simulated patch unit and shows what the program
# does with it. Your own settings file is not touched.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

bash scripts/deps.sh
cmake -S . -B "$build" -G Ninja -DKESTRAVA_TESTS=OFF -DKESTRAVA_BENCH=OFF >/dev/null
cmake --build "$build" -j2 --target kestrava-unitsim kestrava-cli

state=$(mktemp -d)
trap 'kill "$sim" 2>/dev/null || true; wait "$sim" 2>/dev/null || true; rm -rf "$state"' EXIT
"$build/bin/kestrava-unitsim" --link "$state/unit" --state "$state/unit.state" >"$state/sim.out" &
sim=$!
for _ in $(seq 50); do [ -s "$state/sim.out" ] && break; sleep 0.1; done
device=$(head -n1 "$state/sim.out")
echo "Simulated unit on $device"
echo "\$ kestrava-cli --port $device info"
"$build/bin/kestrava-cli" --port "$device" info
