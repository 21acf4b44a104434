#!/usr/bin/env bash
# Builds the program and its tests with AddressSanitizer and
# UndefinedBehaviorSanitizer into build-sanitize/ and runs every test there.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANTHEIL_SANITIZE=ON \
    -DCORVANTHEIL_BENCH=OFF >/dev/null
cmake --build build-sanitize -j"$(nproc)"
cd build-sanitize
# Qt's own libraries are not instrumented; what they keep until exit is theirs.
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# The package check packs a release build; it has nothing to find here.
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" -E package_check
