#!/usr/bin/env bash
# Installs what is missing, builds the program and packs it as
# corvantheil_<version>_amd64.deb in the project folder, for "apt install ./corvantheil_*.deb".
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh package
bash scripts/build.sh corvantheil
# One package here, so that "apt install ./corvantheil_*_amd64.deb" names it alone.
rm -f build/package/corvantheil_*.deb corvantheil_*.deb
(cd build && cpack)
debs=(build/package/corvantheil_*.deb)
mv "${debs[0]}" .
echo "Built $(basename "${debs[0]}"). Install it with: apt install ./$(basename "${debs[0]}")"
