#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) and runs each one for a bounded time,
# starting from the sample inputs in fuzz/corpus/<target>. Exits non-zero when any target finds
# a crash, a broken check, a leak, a time-out or runs out of memory.
#
# Usage: bash fuzz/run.sh [build-dir] [seconds-per-target]   (defaults: build-fuzz 30)
set -u

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(dirname "$here")"
build="${1:-build-fuzz}"
seconds="${2:-30}"
targets=(read_patch read_all_data read_attribute read_curve curve_recalc read_sheet)

generator=()
if [ ! -f "$build/CMakeCache.txt" ] && command -v ninja >/dev/null; then
    generator=(-G Ninja)
fi
CC=clang CXX=clang++ cmake -S "$root" -B "$build" "${generator[@]}" \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DKESTRAVA_FUZZ=ON -DKESTRAVA_SANITIZE=ON -DKESTRAVA_TESTS=OFF -DKESTRAVA_BENCH=OFF ||
    exit 2
cmake --build "$build" --target "${targets[@]/#/fuzz_}" -j2 || exit 2

artifacts="$build/fuzz-artifacts"
mkdir -p "$artifacts"
status=0
for t in "${targets[@]}"; do
    work="$root/fuzz/corpus-run/$t"
    mkdir -p "$work"
    exe="$build/bin/fuzz_$t"
    [ -x "$exe" ] || exe="$build/fuzz/fuzz_$t"
    echo "== fuzz_$t for ${seconds}s"
    if ! "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$artifacts/$t-" "$work" "$here/corpus/$t"; then
        echo "fuzz_$t FAILED: see $artifacts/$t-*"
        status=1
    fi
done
exit $status
