#!/usr/bin/env bash
# A file of the installation held open by another process: the removal reports
# "部分文件无法删除…" under "卸载失败", the first layout comes back with every other file
# removed but the shortcut and the key kept, and a second attempt after the other process
# has ended removes all three.
source "$(dirname "$0")/lib.sh"
e2e_begin locked 300

e2e_start
held_rel='plugins/codecs/h264.dll'
held="$E2E_INSTALL/$held_rel"
# The holder runs in the prefix like the user's main program would, and outlasts the
# first attempt; its working directory is outside the installation.
(cd "$E2E_WORK" && exec wine "$E2E_TEST_HELPER" hold "$(bench_windows_path "$E2E_PREFIX" "$held")" 15000 \
    </dev/null >/dev/null 2>&1) &
holder=$!
E2E_BACKGROUND+=($holder)
e2e_check "the other process holds $held_rel" e2e_wait 20 test -e "$held.held"

e2e_confirm Return
if e2e_expect_box "$E2E_FAILURE_TITLE" "$E2E_FAILURE_TEXT" 60; then
    e2e_screen_shot 1-failure-box
    e2e_check "the window stays while the box is open" e2e_window_shown
    e2e_answer "$E2E_FAILURE_TITLE" Return
fi
e2e_check "the first layout is back" e2e_wait_idle_shot 2-idle-again
e2e_expect_idle
e2e_check "the window stays open" e2e_window_shown
e2e_check "the program still runs" e2e_copy_running
left=$(cd "$E2E_INSTALL" 2>/dev/null && find . -type f | sed 's|^\./||')
[ "$left" = "$held_rel" ] && e2e_note "ok: only the held file is left" ||
    e2e_fail "left after the failed attempt: $(echo "$left" | head -5 | tr '\n' ' ') ($(echo "$left" | wc -l) files)"
# Still registered: the product stays in the installed programs until its files are gone.
[ -e "$(sandbox_shortcut "$E2E_PREFIX")" ] && e2e_note "ok: desktop shortcut kept after the failure" ||
    e2e_fail "desktop shortcut removed although files were left"
sandbox_key_exists "$E2E_PREFIX" && e2e_note "ok: uninstall key kept after the failure" ||
    e2e_fail "uninstall key removed although files were left"

# The user closes the main program and tries again.
e2e_check "the other process ends" e2e_wait 40 bash -c "! kill -0 $holder 2>/dev/null"
e2e_confirm Return
e2e_expect_box "$E2E_SUCCESS_TITLE" "$E2E_SUCCESS_TEXT" 60
e2e_answer "$E2E_SUCCESS_TITLE" Return
e2e_check "the window closes after the second attempt" gui_wait_gone "$E2E_WINDOW_RE" 15
e2e_expect_exit 30
e2e_expect_removed
e2e_expect_temp_clean 15
e2e_finish
