#!/usr/bin/env bash
# A screen reader in another process (zmx_reader.exe, through oleacc and COM as Narrator and
# NVDA go) reads the real window: the client's name, the children with their roles, names
# and screen rectangles; it finds the logo and the button by screen point as the system does
# (AccessibleObjectFromPoint); it presses "立即卸载" through its default action, and after "是"
# it reads the busy layout with the progress bar at "10%" and named by the status line, while
# the ids of the idle layout still name their controls, now hidden. No mouse and no key
# reaches the window.
source "$(dirname "$0")/lib.sh"
READER=${ZMX_READER:-$ZMX_BUILD/tests/zmx_reader.exe}
# Folders enough that the removal outlasts the reading of the busy layout.
e2e_begin screen-reader 0 30000

reader() { wine "$READER" "$@" </dev/null 2>/dev/null | tr -d '\r'; }

# expect_child OUTPUT ID ROLE NAME|VALUE LX LY LW LH [KIND]: a line of that kind (child:
# shown, hidden) with that child id, role, text and the window's logical rectangle on the
# screen (96 DPI: logical = device pixels).
expect_child() {
    local out=$1 id=$2 role=$3 text=${4//|/\\|} kind=${9:-child} line
    shift
    gui_origin "$E2E_WINDOW"
    local want="$role [0-9a-f]+ $((GUI_X + $4)) $((GUI_Y + $5)) $6 $7 $text"
    line=$(grep -E "^$kind $id $want\$" <<<"$out")
    [ "$(grep -c . <<<"$line")" -eq 1 ] && e2e_note "ok: $line" ||
        e2e_fail "no $kind $id \"$role ... $4 $5 $6 $7 $3\" in: $(tr '\n' ';' <<<"$out")"
}

e2e_start
out=$(reader)
grep -q '^client 00000000 卸载Qelvo视频格式转换器$' <<<"$out" && e2e_note "ok: $(head -1 <<<"$out")" ||
    e2e_fail "no client object named like the window: $(head -1 <<<"$out")"
e2e_check "four children in the idle window" test "$(grep -c '^child ' <<<"$out")" -eq 4
expect_child "$out" 1 40 'Qelvo视频格式转换器|' "${E2E_LOGO[@]}"
expect_child "$out" 2 43 '关闭|' "${E2E_CAPTION[@]}"
expect_child "$out" 4 43 '立即卸载|' "${E2E_BUTTON[@]}"
expect_child "$out" 5 41 '卸载将删除安装目录中的程序文件|' "${E2E_DESCRIPTION[@]}"

# The logo lies in the banner's drag band: the system's lookup reaches it all the same. (Wine's
# lookup never asks WM_NCHITTEST; Windows' does, and tests/accessibility checks its answer.)
gui_origin "$E2E_WINDOW"
for probe in "30 20 1 40 Qelvo视频格式转换器" "$E2E_BUTTON_CX $E2E_BUTTON_CY 4 43 立即卸载"; do
    set -- $probe
    found=$(reader point $((GUI_X + $1)) $((GUI_Y + $2)))
    [ "$found" = "point 00000000 $3 $4 $5" ] && e2e_note "ok: at ($1, $2): $found" ||
        e2e_fail "the lookup at ($1, $2) found \"$found\", expected child $3 $5"
done

reader press 立即卸载 >"$E2E_WORK/press.out"
grep -q '^pressed 4 00000000$' "$E2E_WORK/press.out" && e2e_note "ok: default action of 立即卸载 accepted" ||
    e2e_fail "the default action failed: $(tr '\n' ';' <"$E2E_WORK/press.out")"
e2e_expect_box "$E2E_CONFIRM_TITLE" "$E2E_CONFIRM_TEXT" 10 && e2e_answer "$E2E_CONFIRM_TITLE" y

busy=""
for i in $(seq 1 20); do
    busy=$(reader)
    grep -q '|10%$' <<<"$busy" && break
    sleep 0.5
done
e2e_still_busy "the reading of the busy layout"
expect_child "$busy" 3 43 '最小化|' "${E2E_CAPTION[@]}"
expect_child "$busy" 6 41 '正在卸载，请稍候……|' "${E2E_STATUS[@]}"
expect_child "$busy" 7 48 '正在卸载，请稍候……|10%' "${E2E_BAR[@]}"
e2e_check "no button or description while busy" test "$(grep -c '^child ' <<<"$busy")" -eq 4
# A reader that held "立即卸载" by its id finds it hidden, not the status line.
expect_child "$busy" 4 43 '立即卸载|' "${E2E_BUTTON[@]}" hidden

e2e_expect_box "$E2E_SUCCESS_TITLE" "$E2E_SUCCESS_TEXT" 120 && e2e_answer "$E2E_SUCCESS_TITLE" Return
e2e_check "the window closes after the success box" gui_wait_gone "$E2E_WINDOW_RE" 15
e2e_expect_exit 30
e2e_expect_removed
e2e_finish
