#!/usr/bin/env bash
# A few seconds of every libFuzzer target with a fixed seed, when clang is
# there. Longer runs: cmake --build --preset fuzz, then run a target by hand.
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v clang++ >/dev/null 2>&1; then
    echo "fuzz smoke: clang++ not found, skipped"
    exit 0
fi
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"
ctest --preset fuzz -L fuzz -j "$(nproc)" --output-on-failure
