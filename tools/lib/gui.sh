# Real X input and screenshots for tools/demo and the end-to-end tests (sourced).

GUI_WINDOW_TITLE='卸载Qelvo视频格式转换器'
GUI_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

# gui_layout NAME ARRAY: sets ARRAY to (x y width height), the logical rectangle NAME of
# ui/setup/Layout.h, the program's own layout; fails when the header has no such line.
gui_layout() {
    local line
    line=$(sed -n "s/^inline constexpr UIE::UiRect $1{\([0-9]*\), \([0-9]*\), \([0-9]*\), \([0-9]*\)};.*/\1 \2 \3 \4/p" \
        "$GUI_ROOT/ui/setup/Layout.h")
    [ -n "$line" ] || { echo "gui_layout: no rectangle $1 in ui/setup/Layout.h" >&2; return 1; }
    read -r -a "$2" <<<"$line"
}

# gui_window_size ARRAY: sets ARRAY to (width height), the window's logical size.
gui_window_size() {
    local w h
    w=$(sed -n 's/^inline constexpr int kWindowWidth = \([0-9]*\);.*/\1/p' "$GUI_ROOT/ui/setup/Look.h")
    h=$(sed -n 's/^inline constexpr int kWindowHeight = \([0-9]*\);.*/\1/p' "$GUI_ROOT/ui/setup/Look.h")
    [ -n "$w" ] && [ -n "$h" ] || { echo "gui_window_size: no size in ui/setup/Look.h" >&2; return 1; }
    read -r -a "$1" <<<"$w $h"
}

# gui_wait_window REGEX [SECONDS]: prints the id of the first visible window whose
# title matches, waiting for it; fails after the timeout.
gui_wait_window() {
    local pattern=$1 seconds=${2:-20} id i
    for i in $(seq 1 $((seconds * 10))); do
        id=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -1)
        if [ -n "$id" ]; then echo "$id"; return 0; fi
        sleep 0.1
    done
    return 1
}

# gui_wait_gone REGEX [SECONDS]: waits until no visible window's title matches.
gui_wait_gone() {
    local pattern=$1 seconds=${2:-20} i
    for i in $(seq 1 $((seconds * 10))); do
        xdotool search --onlyvisible --name "$pattern" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    return 1
}

# gui_origin ID: sets GUI_X, GUI_Y, GUI_W, GUI_H to the window's geometry.
gui_origin() {
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$1")"
    GUI_X=$X GUI_Y=$Y GUI_W=$WIDTH GUI_H=$HEIGHT
}

# gui_scale DPI VALUE: logical to device pixels, rounding halves away from zero.
gui_scale() {
    echo $(( ($2 * $1 + 48) / 96 ))
}

# gui_click_logical ID DPI X Y: clicks a point given in the window's logical pixels.
gui_click_logical() {
    local id=$1 dpi=$2
    gui_origin "$id"
    xdotool mousemove "$((GUI_X + $(gui_scale "$dpi" "$3")))" "$((GUI_Y + $(gui_scale "$dpi" "$4")))" click 1
}

# gui_shot FILE [ID]: screenshot of the whole screen, or of one window's rectangle.
gui_shot() {
    local file=$1 id=${2:-}
    mkdir -p "$(dirname "$file")"
    if [ -n "$id" ]; then
        gui_origin "$id"
        /usr/bin/import -window root -crop "${GUI_W}x${GUI_H}+${GUI_X}+${GUI_Y}" +repage "$file"
    else
        /usr/bin/import -window root "$file"
    fi
}

# gui_pixel FILE X Y: the colour at a pixel as RRGGBB.
gui_pixel() {
    /usr/bin/convert "$1" -format "%[hex:p{$2,$3}]" info: 2>/dev/null | cut -c1-6
}

# gui_near RRGGBB RRGGBB [TOLERANCE]: whether two colours differ by at most TOLERANCE per channel.
gui_near() {
    local a=$1 b=$2 tolerance=${3:-24} i
    for i in 0 2 4; do
        local x=$((16#${a:$i:2})) y=$((16#${b:$i:2}))
        local d=$((x > y ? x - y : y - x))
        [ "$d" -le "$tolerance" ] || return 1
    done
    return 0
}
