#!/usr/bin/env bash
# Writes the README's gallery: a window picture of every demo, taken headless by the demo
# program itself and scaled to 800 pixels wide in a small palette. The demos that open at
# 20 % are shown at 50 % so that their pages can be read.
# Usage: docs/screenshots/update.sh BUILD_DIR
set -euo pipefail
build="${1:?usage: update.sh BUILD_DIR}"
here="$(cd "$(dirname "$0")" && pwd)"
for demo in about canvas graphics zooming richtext stringgrid treeview labels; do
    zoom=()
    case "$demo" in treeview | labels) ;; *) zoom=(--zoom 50) ;; esac
    QT_QPA_PLATFORM=offscreen "$build/paginor-demo" --demo "$demo" "${zoom[@]}" \
        --screenshot-width 800 --screenshot "$here/$demo.png" 2>/dev/null
done
# The views that show several pages, on the rich text demo's pages.
for view in facing continuous; do
    QT_QPA_PLATFORM=offscreen "$build/paginor-demo" --demo richtext --zoom 30 --view "$view" \
        --screenshot-width 800 --screenshot "$here/$view.png" 2>/dev/null
done
# The find bar with its matches marked.
QT_QPA_PLATFORM=offscreen "$build/paginor-demo" --demo canvas --zoom 50 --find TextOutRight \
    --screenshot-width 800 --screenshot "$here/find.png" 2>/dev/null
du -ch "$here"/*.png | tail -1
