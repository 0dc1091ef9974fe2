#!/usr/bin/env bash
# A successful uninstall to its end: the bar at 100 behind "卸载完成。", the window closes
# when the box is dismissed, the temporary copy exits with 0, the product is gone from the
# installation directory, the desktop and the registry, and the copy and its script leave
# nothing in Temp. The user's other desktop file stays.
source "$(dirname "$0")/lib.sh"
e2e_begin success 3000

e2e_start
e2e_confirm Return
e2e_expect_box "$E2E_SUCCESS_TITLE" "$E2E_SUCCESS_TEXT" 120
# The box is modal over the window, which shows the finished bar behind it.
sleep 0.5
e2e_screen_shot 1-success-box
e2e_shot 2-window-behind-box
e2e_expect_busy 100
gui_origin "$E2E_BOX"
box_x=$GUI_X box_y=$GUI_Y box_w=$GUI_W box_h=$GUI_H
gui_origin "$E2E_WINDOW"
if [ "$box_x" -ge "$GUI_X" ] && [ $((box_x + box_w)) -le $((GUI_X + GUI_W)) ] &&
    [ "$box_y" -ge "$GUI_Y" ] && [ $((box_y + box_h)) -le $((GUI_Y + GUI_H)) ]; then
    e2e_note "ok: the box stands over the window"
else
    e2e_fail "the box (${box_w}x${box_h}+$box_x+$box_y) is not over the window (${GUI_W}x${GUI_H}+$GUI_X+$GUI_Y)"
fi
e2e_check "the window stays while the box is open" e2e_window_shown

e2e_answer "$E2E_SUCCESS_TITLE" Return
e2e_check "the window closes after the box" gui_wait_gone "$E2E_WINDOW_RE" 15
e2e_expect_exit 30
e2e_expect_removed
e2e_expect_temp_clean 15
e2e_expect_no_crash
e2e_finish
