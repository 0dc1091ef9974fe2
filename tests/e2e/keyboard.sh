#!/usr/bin/env bash
# The window driven from the keyboard alone, with real X key presses, at the DPI in
# ZMX_KEYBOARD_DPI (96 when unset): the window opens with "立即卸载" focused but no ring, and
# Enter opens the confirmation; after "否" the ring is on "立即卸载", a Tab moves it to
# the close button. Space, then Enter, held for a second and a half on "立即卸载" open the
# confirmation only on their release, and the box is still open afterwards (their repeats
# must not answer it); after "否" nothing has been removed, and Space on the close button
# closes the window.
# Screenshots of both rings: screens/e2e-keyboard-<dpi>-*.png. Without a
# window manager the X focus follows the pointer, so the pointer rests on a blank part of
# the window (away from the buttons, so nothing is hovered) while keys are pressed.
source "$(dirname "$0")/lib.sh"
dpi=${ZMX_KEYBOARD_DPI:-96}
e2e_begin "keyboard-$dpi"
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f </dev/null >/dev/null 2>&1

s() { gui_scale "$dpi" "$1"; }
files_before=$(e2e_files_left)
e2e_start
gui_origin "$E2E_WINDOW"
[ "$GUI_W" -eq "$(s 520)" ] && e2e_note "ok: window at $dpi DPI is ${GUI_W}x${GUI_H}" ||
    e2e_fail "window is ${GUI_W}x${GUI_H}, expected $(s 520) wide at $dpi DPI"

box_open() { xdotool search --onlyvisible --name "^$E2E_CONFIRM_TITLE\$" >/dev/null 2>&1; }
box_closed() { ! box_open; }

rest_pointer() {
    gui_origin "$E2E_WINDOW"
    xdotool mousemove --sync $((GUI_X + $(s 100))) $((GUI_Y + $(s 300)))
}

# ring_pixels LX LY LW LH: dark pixels on the outline of a logical box (a band of 2 logical
# pixels along its inside edge), where the focus ring is drawn.
ring_pixels() {
    local x=$(s "$1") y=$(s "$2") w=$(($(s $(($1 + $3))) - $(s "$1"))) h=$(($(s $(($2 + $4))) - $(s "$2")))
    local band=$(s 2) total=0 n
    for box in "$x $y $w $band" "$x $((y + h - band)) $w $band" "$x $y $band $h" "$((x + w - band)) $y $band $h"; do
        set -- $box
        n=$(e2e_count "$1" "$2" "$3" "$4" '(r+g+b)/3<0.35')
        total=$((total + ${n:-0}))
    done
    echo "$total"
}

# expect_ring WHAT LX LY LW LH: most of the box's outline is dark.
expect_ring() {
    local what=$1 n perimeter
    n=$(ring_pixels "$2" "$3" "$4" "$5")
    perimeter=$((2 * ($(s "$4") + $(s "$5")) * $(s 2)))
    [ "$n" -ge $((perimeter / 2)) ] && e2e_note "ok: focus ring on $what ($n dark pixels on the outline)" ||
        e2e_fail "no focus ring on $what: $n dark pixels on the outline, expected at least $((perimeter / 2))"
}
expect_no_ring() {
    local what=$1 n
    n=$(ring_pixels "$2" "$3" "$4" "$5")
    [ "$n" -le $(($(s 20) * $(s 2))) ] && e2e_note "ok: no focus ring on $what ($n dark pixels)" ||
        e2e_fail "a focus ring on $what before any key: $n dark pixels on the outline"
}

rest_pointer
sleep 0.5
e2e_shot 1-idle
expect_no_ring "立即卸载" "${E2E_BUTTON[@]}"

# The default button has the focus from the start: Enter needs no Tab.
xdotool key Return
e2e_expect_box "$E2E_CONFIRM_TITLE" "$E2E_CONFIRM_TEXT" 10 && e2e_answer "$E2E_CONFIRM_TITLE" n
e2e_check "the window is still shown" e2e_window_shown

rest_pointer
sleep 1
e2e_shot 2-ring-on-button
expect_ring "立即卸载" "${E2E_BUTTON[@]}"
e2e_check "the caption is still there" test "$(e2e_count $(s $((E2E_BUTTON_CX - 30))) $(s $((E2E_BUTTON_CY - 10))) $(s 60) $(s 20) 'r>0.95 && g>0.95 && b>0.95')" -gt 10

xdotool key Tab
sleep 1
e2e_shot 3-tab-on-close
expect_ring "the close button" "${E2E_CAPTION[@]}"
expect_no_ring "立即卸载" "${E2E_BUTTON[@]}"

# Held Space: the key's auto-repeat runs while it is down.
xdotool key shift+Tab
sleep 0.5
xdotool keydown space
sleep 1.5
e2e_check "no box while Space is held" box_closed
xdotool keyup space
e2e_expect_box "$E2E_CONFIRM_TITLE" "$E2E_CONFIRM_TEXT" 10
sleep 1
e2e_check "the box is still open after the release" box_open
e2e_answer "$E2E_CONFIRM_TITLE" n
e2e_check "the window is still shown" e2e_window_shown
e2e_check "the held Space removed nothing" test "$(e2e_files_left)" -eq "$files_before"

# Held Enter, the same: before, its repeats reached the box and answered 是.
rest_pointer
xdotool keydown Return
sleep 1.5
e2e_check "no box while Enter is held" box_closed
xdotool keyup Return
e2e_expect_box "$E2E_CONFIRM_TITLE" "$E2E_CONFIRM_TEXT" 10
sleep 1
e2e_check "the box is still open after Enter's release" box_open
e2e_answer "$E2E_CONFIRM_TITLE" n
e2e_check "the window is still shown" e2e_window_shown
e2e_check "the held Enter removed nothing" test "$(e2e_files_left)" -eq "$files_before"

rest_pointer
xdotool key Tab
sleep 0.5
xdotool key space
e2e_check "Space on the close button closes the window" gui_wait_gone "$E2E_WINDOW_RE" 15
e2e_expect_exit 30
e2e_check "closing removed nothing" test "$(e2e_files_left)" -eq "$files_before"
e2e_expect_no_crash
e2e_finish
