#!/usr/bin/env bash
# While the window is open, the installation folder is moved away and a link to the user's
# videos put in its place; the videos even hold an Uninstall.exe, so only the check at the
# confirmation can tell. Yes in the confirmation box brings the failure box and removes
# nothing: not the videos, not the moved installation, not the shortcut or the key.
source "$(dirname "$0")/lib.sh"
e2e_begin swapped

data="$E2E_USER/Documents/我的视频"
mkdir -p "$data/剪辑"
head -c 100000 /dev/urandom >"$data/旅行.mp4"
head -c 20000 /dev/urandom >"$data/剪辑/片段1.mp4"
cp "$ZMX_BUILD/Uninstall.exe" "$data/Uninstall.exe"
inventory() { (cd "$1" 2>/dev/null && find . -type f -exec md5sum {} + | sort); }
data_before=$(inventory "$data")
install_before=$(inventory "$E2E_INSTALL")

e2e_start
e2e_expect_idle
mv "$E2E_INSTALL" "$E2E_INSTALL.moved"
ln -s "$data" "$E2E_INSTALL"
e2e_confirm Return
if e2e_expect_box "$E2E_FAILURE_TITLE" "$E2E_FAILURE_TEXT" 30; then
    e2e_screen_shot 1-failure-box
    e2e_answer "$E2E_FAILURE_TITLE" Return
fi
e2e_check "the first layout stays" e2e_wait_idle_shot 2-idle
e2e_expect_idle
e2e_click "$E2E_CAPTION_CX" "$E2E_CAPTION_CY"
e2e_check "the window closes" gui_wait_gone "$E2E_WINDOW_RE" 15
e2e_expect_exit 30

[ -n "$data_before" ] && [ "$(inventory "$data")" = "$data_before" ] &&
    e2e_note "ok: the videos are untouched ($(echo "$data_before" | wc -l) files)" ||
    e2e_fail "the videos changed: $(inventory "$data" | tr '\n' ' ')"
[ "$(inventory "$E2E_INSTALL.moved")" = "$install_before" ] &&
    e2e_note "ok: the moved installation is untouched ($(echo "$install_before" | wc -l) files)" ||
    e2e_fail "the moved installation changed"
e2e_check "the link is still a link" test -L "$E2E_INSTALL"
# The check stopped the attempt before its first step, not only the tree removal.
e2e_check "desktop shortcut kept" test -e "$(sandbox_shortcut "$E2E_PREFIX")"
e2e_check "uninstall key kept" sandbox_key_exists "$E2E_PREFIX"
e2e_expect_notes_kept
e2e_expect_no_crash
e2e_finish
