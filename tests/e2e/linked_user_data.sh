#!/usr/bin/env bash
# A folder link inside the installation that points at the user's own videos in
# Documents: the uninstall must not reach through it. Wine 8 cannot remove such a link
# while its target has files, so here the outcome is the failure box with only the link
# left; Windows removes the link itself and reports success.
source "$(dirname "$0")/lib.sh"
e2e_begin linked 300

data="$E2E_USER/Documents/我的视频"
mkdir -p "$data/剪辑"
head -c 100000 /dev/urandom >"$data/旅行.mp4"
echo 'subtitle' >"$data/旅行.srt"
head -c 20000 /dev/urandom >"$data/剪辑/片段1.mp4"
inventory() { (cd "$data" 2>/dev/null && find . -type f -exec md5sum {} + | sort); }
before=$(inventory)
ln -s "$data" "$E2E_INSTALL/presets/user-videos"

e2e_start
e2e_confirm Return
outcome=
for i in $(seq 1 600); do
    if xdotool search --onlyvisible --name "^$E2E_SUCCESS_TITLE\$" >/dev/null 2>&1; then outcome=success; break; fi
    if xdotool search --onlyvisible --name "^$E2E_FAILURE_TITLE\$" >/dev/null 2>&1; then outcome=failure; break; fi
    sleep 0.1
done
e2e_screen_shot 1-outcome
case "$outcome" in
success)
    e2e_fail "reported success, but Wine 8 cannot have removed the link"
    e2e_answer "$E2E_SUCCESS_TITLE" Return
    ;;
failure)
    e2e_note "reported: failure (the link could not be removed)"
    e2e_check "the failure box has its text" test "$(e2e_box_text "$E2E_FAILURE_TITLE")" = "$E2E_FAILURE_TEXT"
    e2e_answer "$E2E_FAILURE_TITLE" Return
    e2e_check "the first layout is back" e2e_wait_idle_shot 2-idle-again
    e2e_expect_idle
    e2e_click "$E2E_CAPTION_CX" "$E2E_CAPTION_CY"
    ;;
*) e2e_fail "no outcome reported within 60 s" ;;
esac
e2e_check "the window closes" gui_wait_gone "$E2E_WINDOW_RE" 15
e2e_expect_exit 30

after=$(inventory)
[ -n "$before" ] && [ "$after" = "$before" ] && e2e_note "ok: the linked videos are untouched ($(echo "$after" | wc -l) files)" ||
    e2e_fail "the user's videos changed: before [$before] after [$after]"
e2e_check "the videos folder is still a real folder" test -d "$data" -a ! -L "$data"
# Nothing of the product survives but the link itself.
left=$(cd "$E2E_INSTALL" 2>/dev/null && find . -mindepth 1 -not -type d | sed 's|^\./||')
[ "$left" = 'presets/user-videos' ] && e2e_note "ok: product files removed, the link remains" ||
    e2e_fail "left in the installation: $(echo "$left" | head -5 | tr '\n' ' ')"
e2e_expect_notes_kept
e2e_finish
