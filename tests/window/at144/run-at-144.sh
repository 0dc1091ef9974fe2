#!/usr/bin/env bash
# Runs the 144-DPI window test program ($1) in this bench's 144-DPI Wine prefix.
set -uo pipefail
program=$1
source "$(dirname "$0")/../../../tools/lib/bench.sh"
bench_start || exit 1
prefix=$(bench_prefix 144)
# Wine's services start with the first program of a prefix and inherit its output,
# which would keep ctest waiting: start them with nothing to inherit.
WINEPREFIX=$prefix wine cmd /c exit >/dev/null 2>&1 </dev/null
WINEPREFIX=$prefix wine "$program" "${@:2}"
