#!/usr/bin/env bash
# Refreshes the README's pictures in docs/ from a built tree (`make build`
# first; nothing is built here): the configuration and PLC pages from their
# page tests against qxsim, the DI/DO, AI/AO and PI/PO pages from
# bench_io_pages, and every page in the window as it opens on a 1920x1080
# and a 1366x768 screen, in Chinese and in English (layout_*.png,
# layout_en_*.png) from page_layout_test. Everything
# renders offscreen with the CJK fonts that `make deps` installs
# (fonts-noto-cjk).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${QX_BUILD_DIR:-$root/build}"
cd "$root"

for f in "$build/tests/config/config_page_test" "$build/tests/plc/plc_page_test" "$build/tests/shell/page_layout_test" \
    "$build/bench/bench_io_pages"; do
    if [ ! -x "$f" ]; then
        echo "screenshots: $f is missing: run make build first" >&2
        exit 1
    fi
done
if ! fc-list :lang=zh family | grep -q .; then
    echo "screenshots: no CJK font: run make deps (fonts-noto-cjk)" >&2
    exit 1
fi

shots="$(mktemp -d)"
trap 'rm -rf "$shots"' EXIT
export QT_QPA_PLATFORM=offscreen

QX_SCREENSHOT_DIR="$shots" ctest --test-dir "$build" --output-on-failure \
    -R '^(config_page_test|plc_page_test|page_layout_test|page_layout_test_en)$'
"$build/bench/bench_io_pages" 2 --screenshots "$shots" --scaling examples/scaling.txt

pictures=(config_page plc_page dido_page aiao_page pwm_page)
for screen in 1920x1080 1366x768; do
    for page in connection dido aiao pipo config plc; do
        pictures+=("layout_${page}_$screen" "layout_en_${page}_$screen")
    done
done
for p in "${pictures[@]}"; do
    if [ ! -s "$shots/$p.png" ]; then
        echo "screenshots: $p.png was not made" >&2
        exit 1
    fi
done
for p in "${pictures[@]}"; do
    cp "$shots/$p.png" docs/
    echo "docs/$p.png"
done
