# What this host can run (sourced). Some of our machines cannot execute 32-bit x86 code at
# all (a kernel without 32-bit user mode): there the 32-bit Wine loader fails with "Exec
# format error", and only the 64-bit program in a 64-bit prefix can be tested.

# platform_probe_32bit: sets ZMX_HOST_32BIT to "yes", or to "no: REASON". The verdict is
# exported, so the scripts a tool starts do not probe again. ZMX_PRETEND_NO_32BIT=1
# answers "no" on any host, to try the tools as such a host would run them.
platform_probe_32bit() {
    [ -n "${ZMX_HOST_32BIT:-}" ] && return 0
    local out
    if [ -n "${ZMX_PRETEND_NO_32BIT:-}" ]; then
        ZMX_HOST_32BIT="no: ZMX_PRETEND_NO_32BIT is set"
    elif [ ! -x /usr/lib/wine/wine ]; then
        ZMX_HOST_32BIT="no: Wine's 32-bit loader (/usr/lib/wine/wine, package wine32:i386) is not installed"
    elif out=$(/usr/lib/wine/wine --version 2>&1); then
        ZMX_HOST_32BIT=yes
    else
        ZMX_HOST_32BIT="no: /usr/lib/wine/wine --version: $(echo "$out" | head -n 1)"
    fi
    export ZMX_HOST_32BIT
}

# platform_runs_32bit: whether the host executes 32-bit x86 code.
platform_runs_32bit() {
    platform_probe_32bit
    [ "$ZMX_HOST_32BIT" = yes ]
}

# platform_32bit_line: one line that says what the host can run.
platform_32bit_line() {
    platform_probe_32bit
    if platform_runs_32bit; then
        echo "this machine executes 32-bit x86 code, so the 32-bit program runs (in 64-bit Wine prefixes, WoW64)"
    else
        echo "this machine cannot execute 32-bit x86 code (${ZMX_HOST_32BIT#no: }), so only the 64-bit program runs"
    fi
}

# platform_default_arch: the program the demo and the bench run, x86 where the host can.
platform_default_arch() {
    if platform_runs_32bit; then echo x86; else echo x64; fi
}

# platform_program_line ARCH WINEARCH: which program runs in which prefix, in words.
platform_program_line() {
    local program prefix
    case $1 in
        x86) program="the 32-bit (i686) Uninstall.exe" ;;
        x64) program="the 64-bit (x86_64) Uninstall.exe" ;;
    esac
    case $2 in
        win32) prefix="a 32-bit Wine prefix" ;;
        win64) [ "$1" = x86 ] && prefix="a 64-bit Wine prefix (WoW64)" || prefix="a 64-bit Wine prefix" ;;
    esac
    echo "$program in $prefix"
}
