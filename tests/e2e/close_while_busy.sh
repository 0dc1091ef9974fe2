#!/usr/bin/env bash
# WM_CLOSE posted by another program while files are being removed: the window goes at
# once, but the process ends only after the removal has finished, with exit code 0,
# without a crash and with the installation fully removed.
source "$(dirname "$0")/lib.sh"
e2e_begin close 0 50000

e2e_start
e2e_confirm Return
e2e_check "the busy layout is painted" e2e_wait_busy_shot 1-busy

e2e_check "the close message is posted" test "$(e2e_helper close)" = posted
if e2e_wait 15 bash -c "! xdotool search --onlyvisible --name '$E2E_WINDOW_RE' >/dev/null 2>&1"; then
    if [ -d "$E2E_INSTALL/presets" ]; then
        e2e_note "ok: the window went while the removal was still running"
    else
        e2e_fail "the removal had finished before the window went: raise the number of folders"
    fi
else
    e2e_fail "the window is still shown 15 s after WM_CLOSE"
fi

# Until the process has ended, see that it never ends before the tree is gone.
ended_early=false
for i in $(seq 1 1800); do
    if ! e2e_copy_running; then
        [ -d "$E2E_INSTALL" ] && ended_early=true
        break
    fi
    sleep 0.1
done
$ended_early && e2e_fail "the process ended while the installation was still being removed" ||
    e2e_note "ok: the process did not end before the removal"
e2e_expect_exit 30
e2e_check "no report box was shown" bash -c "! xdotool search --onlyvisible --name '^($E2E_SUCCESS_TITLE|$E2E_FAILURE_TITLE)\$' >/dev/null 2>&1"
e2e_expect_removed
e2e_expect_no_crash
e2e_expect_temp_clean 15
e2e_finish
