#!/usr/bin/env bash
# Installs what is missing, builds, installs the program into its own folder in
# the home folder and starts it from there. That folder keeps the collection,
# so rebuilding or deleting build/ never touches it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
# The program and its files only: the tests and the benchmark wait for test.sh.
bash scripts/build.sh corvantheil
folder="$HOME/Corvantheil"
cmake --install build --prefix "$folder" --component portable >/dev/null
exec "$folder/corvantheil" "$@"
