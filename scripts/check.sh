#!/usr/bin/env bash
# What CI runs after the tests: the formatting check, every test again under
# AddressSanitizer and UndefinedBehaviorSanitizer, and a 60-second fuzz run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh check
bash scripts/format.sh
bash scripts/sanitize.sh
bash scripts/fuzz.sh 60
