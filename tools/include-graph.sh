#!/usr/bin/env bash
# The include graph of src/ between folders: every edge "from -> to" with how many includes
# make it, then every edge that points up a layer, then every loop between two folders.
# Layers, lowest first: platform, product (the program's own vocabulary: setting keys,
# policies, the settings in force), controls, the subsystems, app. A "win/" folder belongs to
# the layer of its parent. Exits 1 when an edge points up or two folders include each other.
set -euo pipefail
cd "$(dirname "$0")/../src"

layer() {
    case "${1%/win}" in
        platform) echo 0 ;;
        product) echo 1 ;;
        controls) echo 2 ;;
        app) echo 4 ;;
        *) echo 3 ;;
    esac
}

edges=$(grep -rHo '^#include "[^"]*"' --include='*.h' --include='*.cpp' . |
    sed -E 's|^\./([^:]*):#include "([^"]*)"|\1 \2|' |
    while read -r file included; do
        from=$(dirname "$file")
        to=$(dirname "$included")
        [[ "$from" == "$to" ]] || echo "$from -> $to"
    done | sort | uniq -c | awk '{print $2" -> "$4" ("$1")"}')

echo "== folder edges (includes)"
echo "$edges"

status=0
echo "== edges that point up a layer"
while read -r from _ to _; do
    [[ -z "$from" ]] && continue
    lf=$(layer "$from"); lt=$(layer "$to")
    if ((lt > lf)); then echo "  $from -> $to"; status=1; fi
done <<<"$edges"

echo "== loops between two folders"
while read -r from _ to _; do
    [[ -z "$from" ]] && continue
    if grep -q "^$to -> $from " <<<"$edges" && [[ "$from" < "$to" ]]; then
        echo "  $from <-> $to"
        status=1
    fi
done <<<"$edges"
[[ $status == 0 ]] && echo "  none"

echo "== what one subsystem includes of another"
grep -rHo '^#include "[^"]*"' --include='*.h' --include='*.cpp' . |
    sed -E 's|^\./([^:]*):#include "([^"]*)"|\1 \2|' |
    while read -r file included; do
        from=$(dirname "$file"); to=$(dirname "$included")
        if [[ "${from%/win}" != "${to%/win}" ]] && (($(layer "$from") == 3)) &&
            (($(layer "$to") == 3)); then
            echo "  $file -> $included"
        fi
    done
exit $status
