#!/usr/bin/env bash
# The folders are floors: base (the handle owners, below app and ui) includes nothing of
# ours; the framework's base includes only the two bases; drawing includes only those and
# drawing. An include from a floor above (window, controls, images, setup, app) makes a
# cycle between folders. Inside window, the window includes its helpers and no helper includes
# the window: only UiWindow.* and WindowProc.cpp (the window's own procedure) include UiWindow.h.
# Prints each offending include and fails if there is one.
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
    done < <(grep -H '^#include "' "$root/$folder"/*.h "$root/$folder"/*.cpp 2>/dev/null)
}
check base 'base'
check ui/framework/base 'base|ui/framework/base'
check ui/framework/drawing 'base|ui/framework/base|ui/framework/drawing'
check_window_helpers() {
    local file
    for file in "$root"/ui/framework/window/*.h "$root"/ui/framework/window/*.cpp; do
        case ${file##*/} in
        UiWindow.h | UiWindow.cpp | WindowProc.cpp) continue ;;
        esac
        if grep -q '^#include "ui/framework/window/UiWindow.h"' "$file"; then
            echo "${file#"$root"/} includes ui/framework/window/UiWindow.h"
            status=1
        fi
    done
}
check_window_helpers
[ $status -eq 0 ] && echo "floors: the bases and drawing include nothing above them; no window helper includes the window"
exit $status
