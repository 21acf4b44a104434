#!/usr/bin/env bash
# Installs, from Debian's packages, whatever this machine lacks:
#   setup.sh           to build and start the program
#   setup.sh package   and to build its Debian package
#   setup.sh test      and to run every test, the check of the package included
#   setup.sh fuzz      and to build and run the fuzz target (clang, libFuzzer)
#   setup.sh check     and for scripts/check.sh: formatting, sanitizers, fuzzing
#   setup.sh tidy      and for clang-tidy
set -euo pipefail
packages=(cmake g++ make ccache pkgconf qt6-base-dev qt6-image-formats-plugins libheif-dev
    fonts-dejavu-core)
case "${1:-}" in
"") ;;
package) packages+=(dpkg-dev file) ;;
test) packages+=(dpkg-dev file desktop-file-utils lintian) ;;
fuzz) packages+=(clang libclang-rt-14-dev) ;;
check) packages+=(clang-format clang libclang-rt-14-dev) ;;
tidy) packages+=(clang-tidy) ;;
*)
    echo "usage: setup.sh [package|test|fuzz|check|tidy]" >&2
    exit 2
    ;;
esac
missing=()
for p in "${packages[@]}"; do
    # "install ok installed", "install ok triggers-pending", "hold ok installed"...:
    # the last word says whether dpkg has it in place.
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    case "${status##* }" in
    installed | triggers-pending | triggers-awaited) ;;
    *) missing+=("$p") ;;
    esac
done
((${#missing[@]})) || exit 0
echo "setup.sh: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive LC_ALL=C
# Another apt run (an unattended upgrade) may hold the locks: wait up to ten
# minutes for it. apt-get waits for dpkg's lock itself, but "update" gives up at
# once on the lock of the package lists, so it is tried again meanwhile.
waited=0
until out=$(apt-get -o DPkg::Lock::Timeout=600 update 2>&1); do
    if ! grep -q 'Could not get lock' <<<"$out" || ((waited >= 600)); then
        printf '%s\n' "$out" >&2
        exit 1
    fi
    ((waited)) || echo "setup.sh: waiting for another apt run to finish"
    sleep 5
    waited=$((waited + 5))
done
printf '%s\n' "$out"
apt-get -o DPkg::Lock::Timeout=600 install -y --no-install-recommends "${missing[@]}"
