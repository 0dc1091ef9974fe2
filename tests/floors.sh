#!/usr/bin/env bash
# The framework's folders are floors: base includes only base; drawing includes only base
# and drawing. An include from a floor above (window, controls, images, setup, app) makes a
# cycle between folders. Prints each offending include and fails if there is one.
root=$(cd "$(dirname "$0")/.." && pwd)
status=0
check() {
    local folder=$1 allowed=$2 file line target
    while IFS= read -r line; do
        file=${line%%:*}
        target=$(sed 's/.*#include "\([^"]*\)".*/\1/' <<<"${line#*:}")
        if ! grep -Eq "^($allowed)/" <<<"$target"; then
            echo "${file#"$root"/} includes $target"
            status=1
        fi
    done < <(grep -H '^#include "' "$root/$folder"/*.h "$root/$folder"/*.cpp)
}
check ui/framework/base 'ui/framework/base'
check ui/framework/drawing 'ui/framework/base|ui/framework/drawing'
[ $status -eq 0 ] && echo "floors: base and drawing include nothing above them"
exit $status
