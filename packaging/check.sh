#!/usr/bin/env bash
# Packs a build as scripts/package.sh does and checks the package: the files it
# holds, its dependencies, a stripped program that finds its shared files, a
# valid menu entry, and no lintian error. Usage: check.sh BUILD_DIR
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
out=$(mktemp -d)
pid=
trap '[ -z "$pid" ] || kill "$pid" 2>/dev/null; rm -rf "$out"' EXIT
fail() {
    echo "check.sh: $*" >&2
    exit 1
}

cpack --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 ||
    fail "cpack failed: $(cat "$out/cpack.log")"
debs=("$out"/corvantheil_*_amd64.deb)
deb=${debs[0]}
[ -f "$deb" ] || fail "no corvantheil_<version>_amd64.deb in $(ls "$out")"
echo "packed $(basename "$deb")"

# Every shipped picture, the help page, each icon size, the menu entry and the
# documents Debian asks for, and nothing else.
expected=$(
    {
        echo ./usr/bin/corvantheil
        echo ./usr/share/applications/corvantheil.desktop
        (cd "$source_dir/data" && find _images _reference -type f) |
            sed 's|^|./usr/share/corvantheil/|'
        (cd "$source_dir/desktop/icons" && find . -type f) | sed 's|^\.|./usr/share/icons|'
        echo ./usr/share/doc/corvantheil/changelog.gz
        echo ./usr/share/doc/corvantheil/copyright
        echo ./usr/share/man/man1/corvantheil.1.gz
    } | sort
)
held=$(dpkg-deb -c "$deb" | grep -v '^d' | awk '{print $6}' | sort)
[ "$held" = "$expected" ] || fail "the package holds other files:
$(diff <(echo "$expected") <(echo "$held") || true)"

depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6widgets6 libqt6gui6 libqt6core6 qt6-image-formats-plugins; do
    [[ ", $depends," == *", $needed"[\ ,]* ]] || fail "Depends lacks $needed: $depends"
done

root="$out/root"
dpkg-deb -x "$deb" "$root"
file "$root/usr/bin/corvantheil" | grep -q ', stripped' || fail "the program is not stripped"
desktop=$(desktop-file-validate "$root/usr/share/applications/corvantheil.desktop" 2>&1) ||
    fail "desktop-file-validate: $desktop"
[ -z "$desktop" ] || fail "desktop-file-validate: $desktop"

# Started from its bin/, the program gives the user's new collection folder the
# pictures and help page of ../share/corvantheil.
mkdir "$out/home"
env -u XDG_DATA_HOME HOME="$out/home" QT_QPA_PLATFORM=offscreen \
    "$root/usr/bin/corvantheil" >"$out/run.log" 2>&1 &
pid=$!
collection="$out/home/.local/share/Corvantheil"
for _ in $(seq 300); do
    [ -d "$collection/_data/_userImages" ] && break
    sleep 0.1
done
kill "$pid"
wait "$pid" || true
pid=
diff -r "$root/usr/share/corvantheil/_images" "$collection/_images" >/dev/null 2>&1 &&
    diff -r "$root/usr/share/corvantheil/_reference" "$collection/_reference" >/dev/null 2>&1 ||
    fail "the collection folder was not given the shared files: $(cat "$out/run.log")"

# Errors fail the check; warnings and notes are shown.
status=0
tags=$(lintian --fail-on error --display-info "$deb" 2>&1) || status=$?
grep -v 'root privileges' <<<"$tags" || true
[ "$status" -eq 0 ] || fail "lintian reports errors (exit status $status)"
echo "package checked: $(basename "$deb")"
