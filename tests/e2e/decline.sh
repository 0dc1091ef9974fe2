#!/usr/bin/env bash
# "否" in the confirmation box: the first layout stays and nothing is removed. Alt+F4 then
# closes the idle window and the program ends with 0, which shows that the key reaches
# the window here (the busy scenarios rely on it being ignored).
source "$(dirname "$0")/lib.sh"
e2e_begin decline

files_before=$(e2e_files_left)
e2e_start
e2e_shot 1-idle
e2e_expect_idle

e2e_confirm n
e2e_check "the first layout is back" e2e_wait_idle_shot 2-after-no
# A declined attempt starts nothing, now or a little later.
sleep 1
e2e_shot 3-a-moment-later
e2e_expect_idle
e2e_check "the window is still shown" e2e_window_shown
e2e_check "the program still runs" e2e_copy_running
e2e_check "all $files_before files still installed" test "$(e2e_files_left)" -eq "$files_before"
e2e_check "desktop shortcut still there" test -e "$(sandbox_shortcut "$E2E_PREFIX")"
e2e_check "uninstall key still there" sandbox_key_exists "$E2E_PREFIX"

gui_origin "$E2E_WINDOW"
xdotool mousemove $((GUI_X + 260)) $((GUI_Y + 200))
xdotool key alt+F4 2>/dev/null
e2e_check "Alt+F4 closes the idle window" gui_wait_gone "$E2E_WINDOW_RE" 15
e2e_expect_exit 30
e2e_check "closing removed nothing" test "$(e2e_files_left)" -eq "$files_before"
e2e_check "desktop shortcut kept" test -e "$(sandbox_shortcut "$E2E_PREFIX")"
e2e_check "uninstall key kept" sandbox_key_exists "$E2E_PREFIX"
e2e_expect_temp_clean 15
e2e_finish
