#!/usr/bin/env bash
# Fails when a library folder includes a folder above it (or beside it). The layers, from the
# bottom: platform; drawing; printing, richtext, legacy; preview; thumbnails, content, selectors.
# A folder includes its own headers and those of the layers below it, nothing else.
#   tools/check-layers.sh [SOURCE_DIR]
set -euo pipefail
root="${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}"
declare -A rank=([platform]=0 [drawing]=1 [printing]=2 [richtext]=2 [legacy]=2 [preview]=3
  [thumbnails]=4 [content]=4 [selectors]=4)

status=0
for folder in "${!rank[@]}"; do
    [ -d "$root/$folder" ] || continue
    while IFS= read -r hit; do
        file="${hit%%:*}"
        rest="${hit#*:}"
        line="${rest%%:*}"
        target="${rest#*:}"
        target="${target%/}"
        target="${target##*[\"<]}"
        [ "$target" = "$folder" ] && continue
        [ -n "${rank[$target]+set}" ] || continue
        if [ "${rank[$target]}" -ge "${rank[$folder]}" ]; then
            echo "${file#"$root"/}:$line: $folder (layer ${rank[$folder]}) includes $target (layer ${rank[$target]})"
            status=1
        fi
    done < <(grep -rnoE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"][A-Za-z_]+/' \
        --include='*.h' --include='*.cpp' "$root/$folder" || true)
done
[ "$status" -eq 0 ] && echo "layers: no include runs up"
exit "$status"
