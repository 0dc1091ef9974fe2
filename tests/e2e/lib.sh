# Shared by the end-to-end scripts (sourced). Each scenario gets a private copy of the
# bench's template prefix with a sandbox installation, so no scenario sees another's
# desktop, uninstall key or temporary files. Everything runs at 96 DPI, where logical
# and device pixels are the same.
set -uo pipefail
E2E_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
source "$E2E_ROOT/tools/lib/bench.sh"
source "$E2E_ROOT/tools/lib/sandbox.sh"
source "$E2E_ROOT/tools/lib/gui.sh"

E2E_HELPER=${ZMX_E2E_HELPER:-$ZMX_BUILD/tests/zmx_e2e_helper.exe}
E2E_TEST_HELPER=${ZMX_TEST_HELPER:-$ZMX_BUILD/tests/zmx_test_helper.exe}
E2E_SHOTS=$ZMX_BUILD/screens
CONVERT=/usr/bin/convert

E2E_WINDOW_RE="^${GUI_WINDOW_TITLE}\$"
# The program's own rectangles (x y width height); at 96 DPI logical pixels are device pixels.
gui_layout kLogo E2E_LOGO && gui_layout kCaptionButton E2E_CAPTION &&
    gui_layout kUninstallButton E2E_BUTTON && gui_layout kDescription E2E_DESCRIPTION &&
    gui_layout kStatus E2E_STATUS && gui_layout kProgressBar E2E_BAR || exit 1
# Points probed on them: the caption button's centre; the button body left and right of
# its caption, on its middle row, and its centre; a row through the bar.
E2E_CAPTION_CX=$((E2E_CAPTION[0] + E2E_CAPTION[2] / 2)) E2E_CAPTION_CY=$((E2E_CAPTION[1] + E2E_CAPTION[3] / 2))
E2E_BUTTON_LEFT=$((E2E_BUTTON[0] + 10)) E2E_BUTTON_RIGHT=$((E2E_BUTTON[0] + E2E_BUTTON[2] - 10))
E2E_BUTTON_CX=$((E2E_BUTTON[0] + E2E_BUTTON[2] / 2)) E2E_BUTTON_CY=$((E2E_BUTTON[1] + E2E_BUTTON[3] / 2))
E2E_BAR_Y=$((E2E_BAR[1] + E2E_BAR[3] / 2))
E2E_CONFIRM_TITLE='确认卸载'
E2E_SUCCESS_TITLE='Qelvo视频格式转换器'
E2E_FAILURE_TITLE='卸载失败'
E2E_CONFIRM_TEXT=$'确定卸载Qelvo视频格式转换器吗？\n\n卸载前请关闭正在运行的主程序。'
E2E_SUCCESS_TEXT='卸载完成。'
E2E_FAILURE_TEXT='部分文件无法删除，请关闭主程序后重试。'
E2E_REFUSAL_TITLE='无法卸载'
E2E_REFUSAL_INVALID_PATH='这不是一个完整的文件夹路径。'
# e2e_refusal_text DIR REASON: what the box of a refused "/run DIR" says.
e2e_refusal_text() { printf '无法卸载以下文件夹：\n%s\n\n%s' "$1" "$2"; }

e2e_failures=0
E2E_BACKGROUND=()

# Notes carry the seconds since the scenario began, which shows the margins of the busy steps.
e2e_note() { echo "[$E2E_NAME +$((SECONDS - E2E_STARTED))s] $*"; }
e2e_fail() {
    echo "FAIL [$E2E_NAME +$((SECONDS - E2E_STARTED))s]: $*" >&2
    e2e_failures=$((e2e_failures + 1))
}
# e2e_check DESCRIPTION COMMAND...: notes or fails by the command's status.
e2e_check() {
    local what=$1
    shift
    if "$@"; then e2e_note "ok: $what"; else e2e_fail "$what"; fi
}

# e2e_begin NAME [BULK_FILES] [FOLDERS]: the scenario's prefix and sandbox installation,
# with BULK_FILES more files and FOLDERS more empty folders in it. Folders make a removal
# last: Wine takes about three times as long to remove an empty folder as the machine
# takes to make it, while a file costs about as much to make as to remove.
e2e_begin() {
    E2E_NAME=$1
    E2E_STARTED=$SECONDS
    bench_start || exit 1
    # A scenario that ctest stopped at its timeout never ran its cleanup, and its window
    # would lie over this one's and take its clicks: end whatever is left of it.
    local stale
    for stale in $(xdotool search --name "$E2E_WINDOW_RE" 2>/dev/null); do
        xdotool windowkill "$stale" 2>/dev/null
    done
    E2E_PREFIX="$ZMX_BENCH_DIR/prefix-$WINEARCH-$ZMX_ARCH-e2e-$E2E_NAME"
    E2E_WORK="$ZMX_BENCH_DIR/work-$WINEARCH-$ZMX_ARCH-e2e-$E2E_NAME"
    rm -rf "$E2E_PREFIX" "$E2E_WORK"
    mkdir -p "$E2E_WORK" "$E2E_SHOTS"
    trap e2e_cleanup EXIT
    cp -a "$(bench_template)" "$E2E_PREFIX"
    export WINEPREFIX=$E2E_PREFIX
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f </dev/null >/dev/null 2>&1
    # Wine's services start with the first program of a prefix and keep whatever output
    # it had: they must not hold the test's pipe.
    wine cmd /c exit </dev/null >/dev/null 2>&1
    sandbox_create "$E2E_PREFIX" "${2:-0}"
    E2E_INSTALL=$(sandbox_install_dir "$E2E_PREFIX")
    E2E_USER=$(sandbox_user_dir "$E2E_PREFIX")
    local folders=${3:-0} per branch
    if [ "$folders" -gt 0 ]; then
        per=$(((folders + 199) / 200))
        for branch in $(seq 1 200); do
            mkdir -p "$E2E_INSTALL/presets/cache/b$branch"
            (cd "$E2E_INSTALL/presets/cache/b$branch" && mkdir $(seq -f 'v%g' 1 "$per"))
        done
    fi
    # Out of the way, so no control starts hovered.
    xdotool mousemove 0 0
}

e2e_cleanup() {
    local pid
    for pid in "${E2E_BACKGROUND[@]}"; do
        kill "$pid" 2>/dev/null
    done
    # Only this scenario's private prefix: its wineserver and whatever still runs in it.
    WINEPREFIX=$E2E_PREFIX wineserver -k 2>/dev/null
    WINEPREFIX=$E2E_PREFIX wineserver -w 2>/dev/null
    rm -rf "$E2E_PREFIX" "$E2E_WORK"
    bench_stop
}

# e2e_finish: the scenario's verdict as exit status.
e2e_finish() {
    local took=$((SECONDS - E2E_STARTED))
    if [ "$e2e_failures" -gt 0 ]; then
        echo "$E2E_NAME: $e2e_failures failed checks (${took} s); screenshots in $E2E_SHOTS/e2e-$E2E_NAME-*.png" >&2
        exit 1
    fi
    echo "$E2E_NAME: all checks passed (${took} s)"
    exit 0
}

# e2e_helper ARGS...: runs zmx_e2e_helper.exe in the scenario's prefix.
e2e_helper() {
    wine "$E2E_HELPER" "$@" </dev/null 2>/dev/null
}

# e2e_start: starts Uninstall.exe from the installation directory, the watcher of its
# temporary copy, and waits for the window; sets E2E_WINDOW.
e2e_start() {
    sandbox_start "$E2E_PREFIX" </dev/null >"$E2E_WORK/start.log" 2>&1
    local status=$?
    [ "$status" -eq 0 ] || e2e_fail "the first process exited with $status"
    wine "$E2E_HELPER" watch 200 </dev/null >"$E2E_WORK/watch.out" 2>/dev/null &
    E2E_BACKGROUND+=($!)
    if ! E2E_WINDOW=$(gui_wait_window "$E2E_WINDOW_RE" 30); then
        e2e_fail "no window titled $GUI_WINDOW_TITLE within 30 s"
        e2e_finish
    fi
    # Let the first paint reach the screen.
    sleep 1
}

# e2e_exit_code SECONDS: the copy's exit code once it has ended; fails (status 1) on timeout.
e2e_exit_code() {
    local i line
    for i in $(seq 1 $(($1 * 10))); do
        line=$(grep -a '^exit ' "$E2E_WORK/watch.out" 2>/dev/null)
        if [ -n "$line" ]; then
            echo "${line#exit }"
            return 0
        fi
        grep -aqE '^(none|timeout)' "$E2E_WORK/watch.out" 2>/dev/null && break
        sleep 0.1
    done
    return 1
}

# e2e_copy_running: whether the watcher still waits for the copy.
e2e_copy_running() {
    grep -aq '^watching' "$E2E_WORK/watch.out" 2>/dev/null && ! grep -aq '^exit ' "$E2E_WORK/watch.out"
}

# e2e_expect_exit SECONDS: the copy ends within SECONDS with exit code 0.
e2e_expect_exit() {
    local code
    if code=$(e2e_exit_code "$1"); then
        [ "$code" = 0 ] && e2e_note "ok: the copy exited with 0" || e2e_fail "the copy exited with $code"
    else
        e2e_fail "the copy did not end within $1 s ($(tr '\n' ' ' <"$E2E_WORK/watch.out"))"
    fi
}

# e2e_shot STEP: screenshot of the window as E2E_PNG, saved as screens/e2e-NAME-STEP.png.
e2e_shot() {
    E2E_PNG="$E2E_SHOTS/e2e-$E2E_NAME-$1.png"
    gui_shot "$E2E_PNG" "$E2E_WINDOW"
}

# e2e_screen_shot STEP: the whole screen, for the message boxes that stand over the window.
e2e_screen_shot() {
    gui_shot "$E2E_SHOTS/e2e-$E2E_NAME-$1.png"
}

# e2e_pixel X Y: colour of a window pixel of E2E_PNG as RRGGBB.
e2e_pixel() { gui_pixel "$E2E_PNG" "$1" "$2"; }

# e2e_count X Y W H CONDITION: pixels of a box of E2E_PNG whose colour satisfies an fx
# condition on r, g and b (each 0..1).
e2e_count() {
    "$CONVERT" "$E2E_PNG" -crop "${3}x${4}+${1}+${2}" +repage -fx "$5 ? 1 : 0" \
        -format '%[fx:round(mean*w*h)]' info:
}

E2E_DARK='(r+g+b)/3<0.63'

e2e_colour_at() {
    local what=$1 x=$2 y=$3 want=$4 tolerance=${5:-24} got
    got=$(e2e_pixel "$x" "$y")
    if gui_near "$got" "$want" "$tolerance"; then
        e2e_note "ok: $what at ($x, $y) is #$got"
    else
        e2e_fail "$what at ($x, $y) is #$got, expected #$want"
    fi
}

# e2e_count_at_least WHAT MIN X Y W H CONDITION / e2e_count_at_most WHAT MAX ...
e2e_count_at_least() {
    local what=$1 min=$2 n
    n=$(e2e_count "$3" "$4" "$5" "$6" "$7")
    [ "${n:-0}" -ge "$min" ] && e2e_note "ok: $what ($n pixels)" || e2e_fail "$what: $n pixels, expected at least $min"
}
e2e_count_at_most() {
    local what=$1 max=$2 n
    n=$(e2e_count "$3" "$4" "$5" "$6" "$7")
    [ "${n:-0}" -le "$max" ] && e2e_note "ok: $what ($n pixels)" || e2e_fail "$what: $n pixels, expected at most $max"
}

# The glyphs in the chrome square: the close cross has the ends of its strokes in four
# corner boxes; the minimise glyph is one horizontal line through the centre.
e2e_corner_pixels() {
    local total=0 box n x=${E2E_CAPTION[0]} y=${E2E_CAPTION[1]}
    for box in $((x + 5)),$((y + 5)) $((x + 13)),$((y + 5)) $((x + 5)),$((y + 13)) $((x + 13)),$((y + 13)); do
        n=$(e2e_count "${box%,*}" "${box#*,}" 3 3 "$E2E_DARK")
        total=$((total + ${n:-0}))
    done
    echo "$total"
}
e2e_longest_row() {
    local best=0 y n
    for y in $((E2E_CAPTION_CY - 1)) $E2E_CAPTION_CY $((E2E_CAPTION_CY + 1)); do
        n=$(e2e_count $((E2E_CAPTION[0] + 3)) "$y" $((E2E_CAPTION[2] - 6)) 1 "$E2E_DARK")
        [ "${n:-0}" -gt "$best" ] && best=$n
    done
    echo "$best"
}

E2E_GREY_TEXT='(r+g+b)/3<0.8'

# e2e_expect_idle: E2E_PNG shows the first layout: button, description and close glyph,
# no status line and no bar.
e2e_expect_idle() {
    e2e_colour_at "button body" "$E2E_BUTTON_LEFT" "$E2E_BUTTON_CY" FF7467 8
    e2e_colour_at "button body" "$E2E_BUTTON_RIGHT" "$E2E_BUTTON_CY" FF7467 8
    e2e_count_at_least "caption on the button" 10 $((E2E_BUTTON_CX - 30)) $((E2E_BUTTON_CY - 10)) 60 20 \
        'r>0.95 && g>0.95 && b>0.95'
    e2e_description_at_least 20
    local corners row
    corners=$(e2e_corner_pixels)
    row=$(e2e_longest_row)
    [ "$corners" -ge 4 ] && [ "$row" -le 3 ] && e2e_note "ok: close glyph (corners $corners, longest row $row)" ||
        e2e_fail "no close glyph in the corner (stroke ends $corners, longest row $row)"
    e2e_count_at_most "no status line left of the button" 0 "${E2E_STATUS[0]}" "${E2E_STATUS[1]}" \
        $((E2E_BUTTON[0] - E2E_STATUS[0] - 10)) "${E2E_STATUS[3]}" "$E2E_GREY_TEXT"
    e2e_colour_at "no bar" $((E2E_BAR[0] + 6)) "$E2E_BAR_Y" FFFFFF 4
    e2e_colour_at "no bar" $((E2E_BAR[0] + 176)) "$E2E_BAR_Y" FFFFFF 4
}

# e2e_description_at_least MIN / e2e_description_at_most MAX: grey text pixels in the middle
# of the description line.
e2e_description_box() {
    echo $((E2E_DESCRIPTION[0] + E2E_DESCRIPTION[2] / 2 - 140)) $((E2E_DESCRIPTION[1] + 2)) 280 \
        $((E2E_DESCRIPTION[3] - 2))
}
e2e_description_at_least() {
    # shellcheck disable=SC2046
    e2e_count_at_least "description line" "$1" $(e2e_description_box) "$E2E_GREY_TEXT"
}
e2e_description_at_most() {
    # shellcheck disable=SC2046
    e2e_count_at_most "no description line" "$1" $(e2e_description_box) "$E2E_GREY_TEXT"
}

# e2e_status_pixels: dark text pixels where the status line stands.
e2e_status_pixels() { e2e_count "${E2E_STATUS[@]}" '(r+g+b)/3<0.5'; }

# e2e_expect_busy PERCENT: E2E_PNG shows the status line, the bar at PERCENT (10 or 100)
# and the minimise glyph where the close button was; button and description are gone.
e2e_expect_busy() {
    e2e_count_at_least "status line" 30 "${E2E_STATUS[@]}" '(r+g+b)/3<0.5'
    e2e_colour_at "no button" "$E2E_BUTTON_LEFT" "$E2E_BUTTON_CY" FFFFFF 4
    e2e_colour_at "no button" "$E2E_BUTTON_RIGHT" "$E2E_BUTTON_CY" FFFFFF 4
    e2e_description_at_most 0
    local corners row
    corners=$(e2e_corner_pixels)
    row=$(e2e_longest_row)
    [ "$corners" -eq 0 ] && [ "$row" -ge 8 ] && e2e_note "ok: minimise glyph (longest row $row, no diagonal strokes)" ||
        e2e_fail "no minimise glyph alone in the corner (stroke ends $corners, longest row $row)"
    # At 10 % the fill ends 47 pixels in: three probes inside it, two far beyond.
    local x=${E2E_BAR[0]} right=$((E2E_BAR[0] + E2E_BAR[2]))
    e2e_colour_at "bar fill" $((x + 6)) "$E2E_BAR_Y" FF7467 40
    e2e_colour_at "bar fill" $((x + 21)) "$E2E_BAR_Y" FF7467 40
    e2e_colour_at "bar fill" $((x + 36)) "$E2E_BAR_Y" FF7467 40
    if [ "$1" -ge 100 ]; then
        e2e_colour_at "bar fill at 100" $((x + 176)) "$E2E_BAR_Y" FF7467 40
        e2e_colour_at "bar fill at 100" $((right - 16)) "$E2E_BAR_Y" FF7467 40
    else
        e2e_colour_at "bar track" $((x + 176)) "$E2E_BAR_Y" EFEFEF 6
        e2e_colour_at "bar track" $((right - 16)) "$E2E_BAR_Y" EFEFEF 6
    fi
}

# e2e_wait_idle_shot STEP: shoots the window until the button is back (10 s). A message box
# of Wine returns only a while after it has gone from the screen.
e2e_wait_idle_shot() {
    local i
    for i in $(seq 1 20); do
        e2e_shot "$1"
        gui_near "$(e2e_pixel "$E2E_BUTTON_LEFT" "$E2E_BUTTON_CY")" FF7467 8 && return 0
        sleep 0.5
    done
    return 1
}

# e2e_wait_busy_shot STEP: shoots the window until the status line is painted (10 s).
e2e_wait_busy_shot() {
    local i n
    for i in $(seq 1 20); do
        e2e_shot "$1"
        n=$(e2e_status_pixels)
        [ "${n:-0}" -ge 30 ] && return 0
        sleep 0.5
    done
    return 1
}

# e2e_click X Y: a real click at a window point.
e2e_click() {
    gui_click_logical "$E2E_WINDOW" 96 "$1" "$2"
    xdotool mousemove 0 0
}

# e2e_box_text TITLE: the message text of the open message box with that title.
e2e_box_text() { e2e_helper box "$1"; }

# e2e_expect_box TITLE TEXT [SECONDS]: the box appears with exactly that text; sets E2E_BOX.
e2e_expect_box() {
    local title=$1 want=$2 text
    if ! E2E_BOX=$(gui_wait_window "^$title\$" "${3:-30}"); then
        e2e_fail "no message box \"$title\" within ${3:-30} s"
        return 1
    fi
    text=$(e2e_box_text "$title")
    [ "$text" = "$want" ] && e2e_note "ok: box \"$title\" says \"$text\"" ||
        e2e_fail "box \"$title\" says \"$text\", expected \"$want\""
    return 0
}

# e2e_answer TITLE KEY: presses KEY in the open box and waits until it has gone. Without a
# window manager the X focus follows the pointer, so the pointer rests on the box first.
e2e_answer() {
    local id
    if ! id=$(gui_wait_window "^$1\$" 10); then
        e2e_fail "no box \"$1\" to answer"
        return 1
    fi
    xdotool mousemove --window "$id" 6 6
    xdotool key "$2"
    if gui_wait_gone "^$1\$" 15; then
        xdotool mousemove 0 0
        return 0
    fi
    e2e_fail "box \"$1\" still open after the key $2"
    return 1
}

# e2e_confirm KEY: clicks "立即卸载", checks the confirmation box and answers it.
e2e_confirm() {
    e2e_click "$E2E_BUTTON_CX" "$E2E_BUTTON_CY"
    e2e_expect_box "$E2E_CONFIRM_TITLE" "$E2E_CONFIRM_TEXT" 10 || return 1
    e2e_answer "$E2E_CONFIRM_TITLE" "$1"
}

e2e_files_left() { find "$E2E_INSTALL" -type f 2>/dev/null | wc -l; }

# e2e_expect_removed: installation directory, shortcut and key gone; the unrelated desktop
# file kept.
e2e_expect_removed() {
    [ ! -e "$E2E_INSTALL" ] && e2e_note "ok: installation directory removed" ||
        e2e_fail "installation directory still there with $(e2e_files_left) files"
    [ ! -e "$(sandbox_shortcut "$E2E_PREFIX")" ] && e2e_note "ok: desktop shortcut removed" ||
        e2e_fail "desktop shortcut still there"
    ! sandbox_key_exists "$E2E_PREFIX" && e2e_note "ok: uninstall key removed" || e2e_fail "uninstall key still there"
    e2e_expect_notes_kept
}

e2e_expect_notes_kept() {
    [ "$(cat "$E2E_USER/Desktop/notes.txt" 2>/dev/null)" = 'my notes' ] && e2e_note "ok: notes.txt on the desktop kept" ||
        e2e_fail "the unrelated desktop file notes.txt was touched"
}

# e2e_expect_temp_clean SECONDS: no zmx* file of ours left in the user's Temp.
e2e_expect_temp_clean() {
    local i
    for i in $(seq 1 $(($1 * 10))); do
        [ -z "$(sandbox_temp_leftovers "$E2E_PREFIX")" ] && { e2e_note "ok: nothing of ours left in Temp"; return 0; }
        sleep 0.1
    done
    e2e_fail "left in Temp after $1 s: $(sandbox_temp_leftovers "$E2E_PREFIX" | xargs -r -n1 basename | tr '\n' ' ')"
}

# e2e_expect_no_crash: no Wine debugger started for a crash in this prefix.
e2e_expect_no_crash() {
    local pid crashed=false
    for pid in $(pgrep -x winedbg.exe; pgrep -f '[w]inedbg'); do
        tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$E2E_PREFIX" && crashed=true
    done
    $crashed && e2e_fail "winedbg runs: the program crashed" || e2e_note "ok: no crash (no winedbg)"
}

# e2e_state: the window's Win32 state from the helper: "window VISIBLE ICONIC L T R B PID".
e2e_state() { e2e_helper state; }

# e2e_window_shown / e2e_window_iconic: the window exists and is visible, and not
# minimised / minimised.
e2e_window_shown() { [[ "$(e2e_state)" == 'window 1 0 '* ]]; }
e2e_window_iconic() { [[ "$(e2e_state)" == 'window 1 1 '* ]]; }

# e2e_wait SECONDS COMMAND...: polls the command until it succeeds.
e2e_wait() {
    local seconds=$1 i
    shift
    for i in $(seq 1 $((seconds * 5))); do
        "$@" && return 0
        sleep 0.2
    done
    return 1
}

# e2e_still_busy STEP: the removal has not finished yet, else the step proved nothing. The
# installation's folders go last, so while presets/ is there the worker is still at work.
e2e_still_busy() {
    if [ -d "$E2E_INSTALL/presets" ] && e2e_copy_running; then
        e2e_note "ok: still removing after $1"
    else
        e2e_fail "the removal had finished before $1 was checked: give the scenario more folders"
    fi
}
