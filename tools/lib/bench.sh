# Shared by tools/test, tools/demo, tools/bench and tools/wine-run (sourced, not run).
# One bench per run: a template Wine prefix made once with wineboot, private copies
# of it per DPI, an Xvfb display when there is none, and a cleanup that stops only
# the wineservers and the Xvfb this run started.

ZMX_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
ZMX_BUILD=${ZMX_BUILD:-$ZMX_ROOT/build}

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEARCH=win32
# Wine takes its ANSI code page from the locale: 936, as on our users' machines.
# tools/setup makes the locale; naming it before it exists would make bash warn.
if locale -a 2>/dev/null | grep -qix 'zh_CN\.utf-\?8'; then
    export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
fi

bench_log() { echo "bench: $*" >&2; }

# bench_start: creates $ZMX_BENCH_DIR with the template prefix, and a display.
bench_start() {
    if [ -n "${ZMX_BENCH_DIR:-}" ] && [ -d "$ZMX_BENCH_DIR/template" ]; then
        return 0
    fi
    mkdir -p "$ZMX_BUILD/bench-runs"
    ZMX_BENCH_DIR=$(mktemp -d "$ZMX_BUILD/bench-runs/run.XXXXXX")
    export ZMX_BENCH_DIR
    ZMX_BENCH_OWNER=$$
    trap bench_stop EXIT
    trap 'exit 130' INT TERM

    bench_start_display
    bench_make_template
}

bench_start_display() {
    if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
        return 0
    fi
    local n offset=$((RANDOM % 400))
    for n in $(seq $((100 + offset)) $((160 + offset))); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
        echo $! > "$ZMX_BENCH_DIR/xvfb.pid"
        export DISPLAY=":$n"
        local i
        for i in $(seq 1 100); do
            xdpyinfo >/dev/null 2>&1 && return 0
            sleep 0.05
        done
        kill "$(cat "$ZMX_BENCH_DIR/xvfb.pid")" 2>/dev/null || true
        rm -f "$ZMX_BENCH_DIR/xvfb.pid"
    done
    bench_log "could not start Xvfb"
    return 1
}

bench_make_template() {
    local template="$ZMX_BENCH_DIR/template"
    WINEPREFIX="$template" wineboot -i >/dev/null 2>&1
    # Shell folders that wineboot links to the Unix home become plain folders,
    # so nothing a test removes from "the desktop" is a file of this machine.
    local profile
    for profile in "$template/drive_c/users/"*; do
        [ -d "$profile" ] || continue
        local link
        for link in "$profile"/*; do
            if [ -L "$link" ]; then rm -f "$link"; mkdir -p "$link"; fi
        done
    done
    # The product's UI faces, pointed at the installed CJK font so text is real glyphs.
    WINEPREFIX="$template" wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v '微软雅黑' /d 'WenQuanYi Micro Hei' /f >/dev/null 2>&1
    WINEPREFIX="$template" wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v '宋体' /d 'WenQuanYi Micro Hei' /f >/dev/null 2>&1
    WINEPREFIX="$template" wineserver -w
}

# bench_prefix DPI: prints the path of this run's prefix for DPI, creating it once.
bench_prefix() {
    local dpi=${1:-96}
    local prefix="$ZMX_BENCH_DIR/prefix-$dpi"
    if [ ! -d "$prefix" ]; then
        cp -a "$ZMX_BENCH_DIR/template" "$prefix.tmp"
        WINEPREFIX="$prefix.tmp" wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
        WINEPREFIX="$prefix.tmp" wineserver -w
        mv "$prefix.tmp" "$prefix" 2>/dev/null || rm -rf "$prefix.tmp"
    fi
    echo "$prefix"
}

# bench_windows_path PREFIX UNIXPATH: the C: path of a file inside a prefix.
bench_windows_path() {
    local prefix=$1 path=$2
    local rel=${path#"$prefix/drive_c/"}
    echo "C:\\${rel//\//\\}"
}

bench_stop() {
    [ "${ZMX_BENCH_OWNER:-}" = "$$" ] || return 0
    local prefix
    for prefix in "$ZMX_BENCH_DIR"/template "$ZMX_BENCH_DIR"/prefix-*; do
        [ -d "$prefix" ] && WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
    done
    if [ -f "$ZMX_BENCH_DIR/xvfb.pid" ]; then
        kill "$(cat "$ZMX_BENCH_DIR/xvfb.pid")" 2>/dev/null || true
    fi
    if [ -z "${ZMX_KEEP_BENCH:-}" ]; then
        rm -rf "$ZMX_BENCH_DIR"
    fi
}
