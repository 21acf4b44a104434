#!/bin/sh
# Renders the report of an item with four pictures in headless Chromium and
# checks that the pictures and the logo show. Optional: CI need not install
# Chromium, and without it the check is skipped.
#   report_in_browser.sh REPORT_SAMPLE [SCREENSHOT.png]
set -eu
sample="$1"
keep="${2:-}"
browser=$(command -v chromium || command -v chromium-browser || true)
if [ -z "$browser" ]; then
    echo "skipped: Chromium is not installed"
    exit 0
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
report=$("$sample" write "$work/program folder")
"$browser" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$work/profile" --hide-scrollbars --window-size=1000,2600 \
    --screenshot="$work/report.png" "file://$report" 2>"$work/chromium.log" || {
    cat "$work/chromium.log" >&2
    exit 1
}
if [ -n "$keep" ]; then
    cp "$work/report.png" "$keep"
fi
"$sample" check "$work/report.png"
