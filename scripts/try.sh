#!/usr/bin/env bash
# Builds Kestrava, starts the simulated patch unit and opens Kestrava linked to it.
# Kestrava runs from a copy in a temporary folder with a settings file of its own,
# so the settings of your own Kestrava (and its real unit) are left as they are.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

bash scripts/deps.sh
cmake -S . -B "$build" -G Ninja -DKESTRAVA_TESTS=OFF -DKESTRAVA_BENCH=OFF >/dev/null
cmake --build "$build" -j2 --target kestrava kestrava-unitsim kestrava-cli kestrava_help \
    kestrava_translations

work=$(mktemp -d)
sim=""
cleanup() {
    [ -n "$sim" ] && kill "$sim" 2>/dev/null && wait "$sim" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

"$build/bin/kestrava-unitsim" --link "$work/unit" --state "$work/unit.state" >"$work/sim.out" &
sim=$!
for _ in $(seq 50); do [ -s "$work/sim.out" ] && break; sleep 0.1; done
device=$(head -n1 "$work/sim.out")
echo "Simulated unit on $device"

mkdir -p "$work/app"
cp "$build/bin/kestrava" "$build/bin/kestrava-cli" "$work/app/"
cp "$build/bin/"*.html "$work/app/" 2>/dev/null || true
cp -r "$build/bin/translations" "$work/app/"
printf '[Ports]\nCOM9=%s\n\n[Serial]\nComPort=9\n' "$device" >"$work/app/kestrava.INI"

if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != offscreen ]; then
    echo "No display here, so Kestrava cannot open its window; this is what the unit says:"
    "$work/app/kestrava-cli" --port 9 info
    exit 0
fi
echo "Opening Kestrava on COM9 (the simulated unit)..."
"$work/app/kestrava"
