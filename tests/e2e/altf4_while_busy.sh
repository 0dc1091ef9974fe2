#!/usr/bin/env bash
# Alt+F4 while files are being removed, and SC_CLOSE as the taskbar sends it: both are
# ignored, the window stays in its busy layout, and the removal ends with the usual success
# report and exit code 0.
source "$(dirname "$0")/lib.sh"
e2e_begin altf4 0 45000

e2e_start
e2e_confirm Return
e2e_check "the busy layout is painted" e2e_wait_busy_shot 1-busy

gui_origin "$E2E_WINDOW"
xdotool mousemove $((GUI_X + 260)) $((GUI_Y + 200))
xdotool key alt+F4 2>/dev/null
xdotool mousemove 0 0
sleep 1.5
e2e_check "Alt+F4 leaves the window open" e2e_window_shown
e2e_still_busy "Alt+F4"

e2e_helper sysclose >/dev/null
sleep 1
e2e_check "SC_CLOSE leaves the window open" e2e_window_shown
e2e_shot 2-after-close-requests
e2e_expect_busy 10
e2e_still_busy "SC_CLOSE"

e2e_expect_box "$E2E_SUCCESS_TITLE" "$E2E_SUCCESS_TEXT" 180
e2e_answer "$E2E_SUCCESS_TITLE" Return
e2e_check "the window closes after the box" gui_wait_gone "$E2E_WINDOW_RE" 15
e2e_expect_exit 30
e2e_expect_removed
e2e_expect_no_crash
e2e_finish
