#!/usr/bin/env bash
# Builds Tarvelin and runs every test: pure logic, the live window and the
# whole program, each window test on an X server of its own.
#   scripts/test.sh             build in build/
#   scripts/test.sh --sanitize  build in build-sanitize/ with ASan and UBSan
set -euo pipefail
cd "$(dirname "$0")/.."

dir=build
options=()
if [ "${1:-}" = "--sanitize" ]; then
    dir=build-sanitize
    options=(-DTARVELIN_SANITIZE=ON)
fi
cmake -S . -B "$dir" -G Ninja "${options[@]}"
cmake --build "$dir"
ctest --test-dir "$dir" --output-on-failure -j "$(nproc)"
