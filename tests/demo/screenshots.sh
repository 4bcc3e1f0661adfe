#!/usr/bin/env bash
# Takes a window picture of each demo under Xvfb and checks it (sheet present,
# thumbnails present, not blank). Usage: tests/demo/screenshots.sh BUILD_DIR [OUTPUT_DIR]
# The pictures are kept in OUTPUT_DIR (default BUILD_DIR/screenshots).
set -euo pipefail
build="${1:?usage: screenshots.sh BUILD_DIR [OUTPUT_DIR]}"
out="${2:-$build/screenshots}"
if ! command -v xvfb-run >/dev/null; then
    echo "screenshots: xvfb-run is not installed; skipped"
    exit 0
fi
mkdir -p "$out"
PAGINOR_SCREENSHOT_DIR="$out" QT_QPA_PLATFORM=offscreen \
    "$build/tests/test_demo" --gtest_filter='DemoScreenshots.*'
echo "screenshots: pictures in $out"
