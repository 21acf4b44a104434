#!/usr/bin/env bash
# Runs clang-tidy with .clang-tidy (warnings are errors) over src/, on the
# compile commands of build/ (run scripts/build.sh first).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh tidy
run-clang-tidy -p build -j"$(nproc)" -quiet "$PWD/src/"
