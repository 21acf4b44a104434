#!/usr/bin/env bash
# Builds the fuzz target with clang (libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) into build-fuzz/ and runs it for the seconds
# given (60 by default) on a copy of fuzz/corpus. "fuzz.sh 3600" for a long run.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
bash scripts/setup.sh fuzz
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCORVANTHEIL_FUZZ=ON -DCORVANTHEIL_TESTS=OFF \
    -DCORVANTHEIL_BENCH=OFF >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target ini_fuzz
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
cp fuzz/corpus/* "$corpus"/
./build-fuzz/fuzz/ini_fuzz -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix=build-fuzz/ "$corpus"
