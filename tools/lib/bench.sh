# Shared by tools/test, tools/demo, tools/bench and tools/wine-run (sourced, not run).
# One bench per run: a template Wine prefix per prefix kind made once with wineboot,
# private copies of it per program and DPI, an Xvfb display when there is none, and a
# cleanup that stops only the wineservers and the Xvfb this run started.
#
# What runs where:
#   ZMX_ARCH       x86 (the product, build/) or x64 (build-x64/); by default x86 where the
#                  host executes 32-bit code, x64 elsewhere
#   ZMX_WINEARCH   win64 (default: 64-bit Windows, where a 32-bit program runs under WoW64)
#                  or win32
#   ZMX_BUILD      the build of that program; by default build/ or build-x64/

ZMX_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
source "$ZMX_ROOT/tools/lib/platform.sh"
ZMX_ARCH=${ZMX_ARCH:-$(platform_default_arch)}
ZMX_WINEARCH=${ZMX_WINEARCH:-win64}
export ZMX_ARCH ZMX_WINEARCH
if [ -z "${ZMX_BUILD:-}" ]; then
    ZMX_BUILD=$ZMX_ROOT/build
    [ "$ZMX_ARCH" = x64 ] && ZMX_BUILD=$ZMX_BUILD-x64
fi

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEARCH=$ZMX_WINEARCH
case ":$PATH:" in
    *":$ZMX_ROOT/tools/lib/wine:"*) ;;
    *) export PATH="$ZMX_ROOT/tools/lib/wine:$PATH" ;;
esac
# Wine takes its ANSI code page from the locale: 936, as on our users' machines.
# tools/setup makes the locale; naming it before it exists would make bash warn.
if locale -a 2>/dev/null | grep -qix 'zh_CN\.utf-\?8'; then
    export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
fi

bench_log() { echo "bench: $*" >&2; }

# bench_start: creates $ZMX_BENCH_DIR with the template prefix, and a display. Fails with
# one line that says why when this host cannot run what ZMX_ARCH and ZMX_WINEARCH ask for.
bench_start() {
    if [ -n "${ZMX_BENCH_DIR:-}" ] && [ -d "$ZMX_BENCH_DIR/template-$WINEARCH" ]; then
        return 0
    fi
    if { [ "$ZMX_ARCH" = x86 ] || [ "$WINEARCH" = win32 ]; } && ! platform_runs_32bit; then
        bench_log "cannot run $(platform_program_line "$ZMX_ARCH" "$WINEARCH"): this machine cannot execute 32-bit x86 code (${ZMX_HOST_32BIT#no: })"
        return 1
    fi
    if [ -n "${ZMX_BENCH_DIR:-}" ] && [ -d "$ZMX_BENCH_DIR" ]; then
        bench_make_template
        return
    fi
    mkdir -p "$ZMX_BUILD/bench-runs"
    ZMX_BENCH_DIR=$(mktemp -d "$ZMX_BUILD/bench-runs/run.XXXXXX")
    export ZMX_BENCH_DIR
    ZMX_BENCH_OWNER=$$
    trap bench_stop EXIT
    trap 'exit 130' INT TERM

    bench_start_display || return 1
    bench_make_template
}

# bench_start_display [--private]: uses the display there is, or starts Xvfb; --private
# always starts one, for tests that must not share a screen with anything else.
bench_start_display() {
    if [ "${1:-}" != --private ] && [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
        return 0
    fi
    local n offset=$((RANDOM % 400))
    for n in $(seq $((100 + offset)) $((160 + offset))); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
        echo $! > "$ZMX_BENCH_DIR/xvfb-$n.pid"
        export DISPLAY=":$n"
        local i
        for i in $(seq 1 100); do
            xdpyinfo >/dev/null 2>&1 && return 0
            sleep 0.05
        done
        kill "$(cat "$ZMX_BENCH_DIR/xvfb-$n.pid")" 2>/dev/null || true
        rm -f "$ZMX_BENCH_DIR/xvfb-$n.pid"
    done
    bench_log "could not start Xvfb"
    return 1
}

# bench_template: the path of this run's template prefix of the kind in WINEARCH.
bench_template() {
    echo "$ZMX_BENCH_DIR/template-$WINEARCH"
}

bench_make_template() {
    local template log out
    template=$(bench_template)
    [ -d "$template" ] && return 0
    # Into a file: Wine's services inherit the output and would hold a pipe open.
    log="$ZMX_BENCH_DIR/wineboot-$WINEARCH.log"
    if ! WINEPREFIX="$template.tmp" wineboot -i >"$log" 2>&1 </dev/null ||
        ! WINEPREFIX="$template.tmp" wine cmd /c exit >>"$log" 2>&1 </dev/null; then
        WINEPREFIX="$template.tmp" wineserver -k 2>/dev/null
        rm -rf "$template.tmp"
        out=$(grep -v '^[[:space:]]*$' "$log" | tail -n 1)
        if [ "$WINEARCH" = win64 ] && ! platform_runs_32bit; then
            bench_log "this machine cannot run 32-bit programs and 64-bit Wine did not start: ${out:-no output}"
        else
            bench_log "Wine did not start a $WINEARCH prefix: ${out:-no output}"
        fi
        return 1
    fi
    template=$template.tmp
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
    # Windows' default user preferences (Wine's turn keyboard cues on): the focus ring shows
    # once a key is used, unless a test asks for cues always.
    WINEPREFIX="$template" wine reg add 'HKCU\Control Panel\Desktop' /v UserPreferencesMask /t REG_BINARY /d 9e1e078012000000 /f >/dev/null 2>&1
    WINEPREFIX="$template" wineserver -w
    mv "$template" "$(bench_template)"
}

# bench_prefix DPI: prints the path of this run's prefix for DPI (and for the program and
# prefix kind in ZMX_ARCH and WINEARCH), creating it once.
bench_prefix() {
    local dpi=${1:-96}
    local prefix="$ZMX_BENCH_DIR/prefix-$WINEARCH-$ZMX_ARCH-$dpi"
    if [ ! -d "$prefix" ]; then
        bench_make_template >&2 || return 1
        cp -a "$(bench_template)" "$prefix.tmp"
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
    for prefix in "$ZMX_BENCH_DIR"/template-* "$ZMX_BENCH_DIR"/prefix-*; do
        [ -d "$prefix" ] && WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
    done
    local pidfile
    for pidfile in "$ZMX_BENCH_DIR"/xvfb-*.pid; do
        [ -f "$pidfile" ] && kill "$(cat "$pidfile")" 2>/dev/null || true
    done
    if [ -z "${ZMX_KEEP_BENCH:-}" ]; then
        rm -rf "$ZMX_BENCH_DIR"
    fi
}
