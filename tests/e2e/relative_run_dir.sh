#!/usr/bin/env bash
# The temporary copy started by hand from C:\Program Files with a relative directory (and
# the drive-relative and rooted forms of it): each names the installation from there, and
# a folder of the same name, with an Uninstall.exe, stands beside the copy in Temp, where
# the copy moves its working directory. Each start is refused (one box that says the path
# is not a full one, exit code 1, no window, no further copy) and neither folder loses a file.
source "$(dirname "$0")/lib.sh"
e2e_begin relative

temp="$E2E_USER/Temp"
beside="$temp/$SANDBOX_DIR_NAME"
mkdir -p "$beside/项目"
cp "$ZMX_BUILD/Uninstall.exe" "$beside/Uninstall.exe"
echo 'my project' >"$beside/项目/剪辑.txt"
copy_name=zmxE2E.tmp.exe
cp "$ZMX_BUILD/Uninstall.exe" "$temp/$copy_name"
inventory() { (cd "$1" 2>/dev/null && find . -type f -exec md5sum {} + | sort); }
beside_before=$(inventory "$beside")
install_before=$(inventory "$E2E_INSTALL")

for dir in "$SANDBOX_DIR_NAME" ".\\$SANDBOX_DIR_NAME" "C:$SANDBOX_DIR_NAME" "\\Program Files\\$SANDBOX_DIR_NAME"; do
    (cd "$E2E_PREFIX/drive_c/Program Files" &&
        wine "C:\\users\\$(id -un)\\Temp\\$copy_name" /run "$dir"; echo "exit $?" >"$E2E_WORK/run.status") \
        </dev/null >"$E2E_WORK/run.log" 2>&1 &
    run=$!
    e2e_expect_box "$E2E_REFUSAL_TITLE" "$(e2e_refusal_text "$dir" "$E2E_REFUSAL_INVALID_PATH")" 15 &&
        e2e_answer "$E2E_REFUSAL_TITLE" Return
    if xdotool search --onlyvisible --name "$E2E_WINDOW_RE" >/dev/null 2>&1; then
        e2e_fail "/run \"$dir\" opened the uninstall window"
        e2e_screen_shot "window-$(echo "$dir" | md5sum | cut -c1-6)"
        e2e_helper close
        gui_wait_gone "$E2E_WINDOW_RE" 15
    fi
    wait "$run"
    status=$(sed 's/^exit //' "$E2E_WORK/run.status")
    rm -f "$E2E_WORK/run.status"
    [ "$status" = 1 ] && e2e_note "ok: /run \"$dir\" ends with 1" || e2e_fail "/run \"$dir\" ended with $status"
done

others=$(find "$temp" -maxdepth 1 -iname 'zmx*' ! -name "$copy_name")
[ -z "$others" ] && e2e_note "ok: no further copy in Temp" || e2e_fail "copies made: $others"
[ "$(inventory "$beside")" = "$beside_before" ] && e2e_note "ok: the folder beside the copy is untouched" ||
    e2e_fail "the folder beside the copy changed: $(inventory "$beside" | tr '\n' ' ')"
[ "$(inventory "$E2E_INSTALL")" = "$install_before" ] && e2e_note "ok: the installation is untouched" ||
    e2e_fail "the installation changed"
e2e_check "desktop shortcut kept" test -e "$(sandbox_shortcut "$E2E_PREFIX")"
e2e_check "uninstall key kept" sandbox_key_exists "$E2E_PREFIX"
e2e_expect_no_crash
e2e_finish
