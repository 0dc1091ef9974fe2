#!/usr/bin/env bash
# "是" and the busy layout: status line, bar at 10 and the minimise glyph in place of the
# close button. While the worker removes a large tree the window answers the pointer and
# repaints, moves when its banner is dragged with the real mouse, and minimises with its
# minimise button; every one of these is checked while files are still being removed.
source "$(dirname "$0")/lib.sh"
# Folders enough that the removal outlasts the checks below, even on a fast machine.
e2e_begin busy 0 60000

e2e_start
e2e_confirm Return
e2e_check "the busy layout is painted" e2e_wait_busy_shot 1-busy
e2e_expect_busy 10
e2e_still_busy "the busy layout"

# Hovering the minimise button tints its square: the window thread handles input and paints.
plain=$(e2e_pixel $((E2E_CAPTION[0] + 2)) "$E2E_CAPTION_CY")
gui_origin "$E2E_WINDOW"
xdotool mousemove $((GUI_X + E2E_CAPTION_CX)) $((GUI_Y + E2E_CAPTION_CY))
sleep 0.5
e2e_shot 2-hover
hovered=$(e2e_pixel $((E2E_CAPTION[0] + 2)) "$E2E_CAPTION_CY")
xdotool mousemove 0 0
sleep 0.5
e2e_shot 3-unhovered
left_alone=$(e2e_pixel $((E2E_CAPTION[0] + 2)) "$E2E_CAPTION_CY")
if [ "$((16#${hovered:0:2}))" -le $((16#${plain:0:2} - 10)) ] && [ "$left_alone" = "$plain" ]; then
    e2e_note "ok: hover tints the minimise button (#$plain -> #$hovered -> #$left_alone)"
else
    e2e_fail "no hover repaint while busy (#$plain -> #$hovered -> #$left_alone)"
fi
e2e_still_busy "the hover"

# Drag by the banner with real button presses and moves.
gui_origin "$E2E_WINDOW"
x0=$GUI_X y0=$GUI_Y
xdotool mousemove $((x0 + 150)) $((y0 + 120))
sleep 0.2
xdotool mousedown 1
for step in $(seq 1 12); do
    xdotool mousemove $((x0 + 150 - step * 10)) $((y0 + 120 - step * 8))
    sleep 0.05
done
sleep 0.2
xdotool mouseup 1
xdotool mousemove 0 0
sleep 0.5
gui_origin "$E2E_WINDOW"
if [ "$GUI_X" -eq $((x0 - 120)) ] && [ "$GUI_Y" -eq $((y0 - 96)) ]; then
    e2e_note "ok: dragged from ($x0, $y0) to ($GUI_X, $GUI_Y)"
else
    e2e_fail "the window is at ($GUI_X, $GUI_Y) after a drag from ($x0, $y0) by (-120, -96)"
fi
state=$(e2e_state)
[[ "$state" == "window 1 0 $GUI_X $GUI_Y "* ]] && e2e_note "ok: Win32 agrees: $state" ||
    e2e_fail "the window's own rectangle after the drag: $state"
e2e_shot 4-moved
e2e_expect_busy 10
e2e_still_busy "the drag"

# The minimise button stands where the close button was.
e2e_click "$E2E_CAPTION_CX" "$E2E_CAPTION_CY"
e2e_check "the minimise button minimises the window" e2e_wait 5 e2e_window_iconic
e2e_still_busy "minimising"
# Brought back, it must be painted again by a window thread that is not blocked.
e2e_helper restore >/dev/null
e2e_check "the window is restored" e2e_wait 5 e2e_window_shown
sleep 0.5
e2e_shot 5-restored
e2e_expect_busy 10
e2e_still_busy "the restore"

e2e_expect_box "$E2E_SUCCESS_TITLE" "$E2E_SUCCESS_TEXT" 180
e2e_answer "$E2E_SUCCESS_TITLE" Return
e2e_check "the window closes" gui_wait_gone "$E2E_WINDOW_RE" 15
e2e_expect_exit 30
e2e_expect_removed
e2e_finish
