#!/usr/bin/env bash
# The idle uninstall window at 96, 144 and 192 DPI, started as a user starts it:
# a screenshot of each, pixels probed at the layout's positions scaled by the DPI,
# then a click on the close button, after which the program and its temporary copy
# must be gone. Screenshots: $ZMX_BUILD/screens/idle-<dpi>.png.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/tools/lib/bench.sh"
source "$root/tools/lib/sandbox.sh"
source "$root/tools/lib/gui.sh"
bench_start || exit 1

IMPORT=/usr/bin/import
CONVERT=/usr/bin/convert
COMPARE=/usr/bin/compare
exe=${ZMX_UNINSTALL_EXE:-$ZMX_BUILD/Uninstall.exe}
shots="$ZMX_BUILD/screens"
mkdir -p "$shots"
# The program's own rectangles, in logical pixels (x y width height).
gui_window_size size && gui_layout kBanner banner && gui_layout kLogo logo &&
    gui_layout kCaptionButton caption && gui_layout kUninstallButton button &&
    gui_layout kDescription description || exit 1
caption_cx=$((caption[0] + caption[2] / 2)) caption_cy=$((caption[1] + caption[3] / 2))
button_cx=$((button[0] + button[2] / 2)) button_cy=$((button[1] + button[3] / 2))

failures=0
fail() {
    echo "FAIL [$dpi dpi]: $*" >&2
    failures=$((failures + 1))
}
note() { echo "[$dpi dpi] $*"; }

# scale V: V logical pixels in device pixels at $dpi, rounded as MulDiv rounds.
scale() { gui_scale "$dpi" "$1"; }

# pixel_at LX LY: the colour of $window_png at a logical position, as RRGGBB.
pixel_at() { gui_pixel "$window_png" "$(scale "$1")" "$(scale "$2")"; }

# count_pixels LX LY LW LH CONDITION: pixels of a logical box whose colour satisfies an
# fx condition on r, g and b (each 0..1).
count_pixels() {
    local x y w h
    x=$(scale "$1"); y=$(scale "$2"); w=$(( $(scale $(( $1 + $3 ))) - x )); h=$(( $(scale $(( $2 + $4 ))) - y ))
    "$CONVERT" "$window_png" -crop "${w}x${h}+${x}+${y}" +repage -fx "$5 ? 1 : 0" \
        -format '%[fx:round(mean*w*h)]' info:
}

expect_colour() {
    local what=$1 lx=$2 ly=$3 want=$4 tolerance=${5:-0} got
    got=$(pixel_at "$lx" "$ly")
    if gui_near "$got" "$want" "$tolerance"; then
        note "$what at ($lx, $ly): #$got"
    else
        fail "$what at logical ($lx, $ly) is #$got, expected #$want (±$tolerance)"
    fi
}

# Processes of this prefix that run the temporary copy, by the copy's file name.
copy_pids() {
    local name=$1
    ps -eo pid=,args= | awk -v name="$name" 'index($0, name) && !/awk/ { print $1 }'
}

# Names of our files in the prefix's temporary directory, sorted.
temp_names() {
    sandbox_temp_leftovers "$prefix" | xargs -r -n1 basename | sort
}

# Those that were not there before the start; other tests may share the prefix.
temp_leftovers() {
    temp_names | comm -23 - "$temp_before"
}

check_dpi() {
    dpi=$1
    local prefix install started window_id
    prefix=$(bench_prefix "$dpi")
    export WINEPREFIX=$prefix
    install="$prefix/drive_c/Program Files/Qelvo"
    rm -rf "$install"
    mkdir -p "$install"
    cp "$exe" "$install/Uninstall.exe"
    echo 'sample' > "$install/readme.txt"
    # Wine's own services start with the first program of a prefix and would hold on
    # to whatever output pipe that program had.
    wine cmd /c exit </dev/null >/dev/null 2>&1
    # From the prefix's layout rather than from winepath, which now and then printed
    # nothing right after the prefix's first program.
    temp_dir=$(sandbox_temp_dir "$prefix")
    if [ ! -d "$temp_dir" ]; then
        fail "no temporary directory at $temp_dir"
        return
    fi
    temp_before="$shots/.temp-before-$dpi"
    temp_names > "$temp_before"
    [ -s "$temp_before" ] && note "zmx files already in the temporary directory: $(tr '\n' ' ' < "$temp_before")"
    # Out of the way, so no control starts hovered.
    xdotool mousemove 0 0

    wine "C:\\Program Files\\Qelvo\\Uninstall.exe" </dev/null >"$shots/wine-$dpi.log" 2>&1
    started=$?
    [ "$started" -eq 0 ] || fail "the first process exited with $started"
    if ! window_id=$(gui_wait_window "^${GUI_WINDOW_TITLE}\$" 30); then
        fail "no window titled $GUI_WINDOW_TITLE within 30 s"
        return
    fi
    local copy
    copy=$(temp_leftovers | grep -i '\.exe$' | head -n 1)
    [ -n "$copy" ] || fail "no temporary copy of the program in $temp_dir"
    # Let the first paint reach the screen.
    sleep 1

    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$window_id")"
    note "window $window_id at ($X, $Y) size ${WIDTH}x${HEIGHT}; copy $copy"
    local shot="$shots/idle-$dpi.png"
    "$IMPORT" -window root "$shot"
    window_png="$shots/.window-$dpi.png"
    "$CONVERT" "$shot" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$window_png"

    [ "$WIDTH" -eq "$(scale "${size[0]}")" ] && [ "$HEIGHT" -eq "$(scale "${size[1]}")" ] ||
        fail "window is ${WIDTH}x${HEIGHT}, expected $(scale "${size[0]}")x$(scale "${size[1]}")"

    # The button body left and right of its caption.
    expect_colour "button" $((button[0] + 10)) "$button_cy" FF7467
    expect_colour "button" $((button[0] + button[2] - 10)) "$button_cy" FF7467
    local caption_pixels
    caption_pixels=$(count_pixels $((button_cx - 30)) $((button_cy - 10)) 60 20 'r>0.95 && g>0.95 && b>0.95')
    [ "$caption_pixels" -gt 10 ] && note "caption: $caption_pixels white pixels" ||
        fail "no white caption pixels on the button ($caption_pixels)"
    # The plain background under the banner: left of the button, and between the banner
    # and the button near the right edge.
    expect_colour "background" $((button[0] / 2)) "$button_cy" FFFFFF
    expect_colour "background" $((size[0] - 40)) $(((banner[1] + banner[3] + button[1]) / 2)) FFFFFF
    local text
    text=$(count_pixels $((description[0] + description[2] / 2 - 140)) "${description[1]}" 280 "${description[3]}" \
        'r<0.75 && g<0.75 && b<0.75')
    [ "$text" -gt 20 ] && note "description: $text grey pixels" ||
        fail "the description line shows no text ($text dark pixels)"
    # The close cross: dark strokes in the button's square, none left of it.
    local cross
    cross=$(count_pixels $((caption[0] + 2)) $((caption[1] + 2)) $((caption[2] - 4)) $((caption[3] - 4)) \
        'r<0.6 && g<0.6 && b<0.6')
    [ "$cross" -gt 6 ] && note "close glyph: $cross dark pixels" || fail "no close glyph ($cross dark pixels)"
    expect_colour "close glyph centre" "$caption_cx" "$caption_cy" 5A5A68 90
    # The artwork: the banner is not blank below the logo's row and the logo's mark (the
    # square at its left) is there.
    local tinted
    tinted=$(count_pixels "${banner[0]}" $((banner[1] + 60)) "${banner[2]}" $((banner[3] - 60)) \
        'abs(r-g)>0.08 || abs(g-b)>0.08 || r<0.9')
    [ "$tinted" -gt $(( $(scale "${banner[2]}") * $(scale $((banner[3] - 60))) / 10 )) ] &&
        note "banner: $tinted tinted pixels" || fail "the banner looks blank ($tinted tinted pixels)"
    local mark
    mark=$(count_pixels "${logo[0]}" "${logo[1]}" "${logo[3]}" "${logo[3]}" 'r>0.8 && g<0.6 && b<0.6')
    [ "$mark" -gt 20 ] && note "logo mark: $mark red pixels" || fail "no logo mark ($mark red pixels)"
    # At 200 % the artwork is shown at its own pixel size: the window must match the PNG
    # over white, away from the logo and the close button, without resampling blur.
    if [ "$dpi" -eq 192 ]; then
        local region=640x520+300+0 reference="$shots/.banner-reference.png" shown="$shots/.banner-shown.png" differing
        "$CONVERT" "$root/resources/banner.png" -background white -alpha remove -crop "$region" +repage "$reference"
        "$CONVERT" "$window_png" -crop "$region" +repage "$shown"
        differing=$("$COMPARE" -metric AE -fuzz 1% "$shown" "$reference" null: 2>&1)
        differing=${differing%%.*}
        if [ -n "$differing" ] && [ "$differing" -lt 640 ]; then
            note "banner matches the PNG 1:1 ($differing of 332800 pixels differ)"
        else
            fail "the banner differs from the PNG in $differing of 332800 pixels (resampled or misplaced)"
        fi
        rm -f "$reference" "$shown"
    fi

    # Close it as a user does: a click in the middle of the close button.
    xdotool mousemove --sync $(( X + $(scale "$caption_cx") )) $(( Y + $(scale "$caption_cy") )) click 1
    local i gone=false clean=false
    for i in $(seq 1 150); do
        if [ -z "$(xdotool search --onlyvisible --name "^${GUI_WINDOW_TITLE}\$" 2>/dev/null)" ] &&
            { [ -z "$copy" ] || [ -z "$(copy_pids "$copy")" ]; }; then
            gone=true
        fi
        [ -z "$(temp_leftovers)" ] && clean=true
        $gone && $clean && break
        sleep 0.1
    done
    $gone && note "closed by the close button" || fail "the program is still running 15 s after the close click"
    $clean && note "temporary files removed" ||
        fail "left in $temp_dir after 15 s: $(temp_leftovers | tr '\n' ' ')"
    # Leave the shared prefix as we found it.
    if ! $gone && [ -n "$copy" ]; then
        local pid
        for pid in $(copy_pids "$copy"); do kill "$pid" 2>/dev/null; done
        sleep 1
    fi
    if ! $clean; then
        local name
        for name in $(temp_leftovers); do
            case "$name" in "$copy" | *.bat | *.cmd) rm -f "$temp_dir/$name" ;; esac
        done
    fi
    rm -f "$window_png" "$temp_before"
}

for dpi in 96 144 192; do
    check_dpi "$dpi"
done

if [ "$failures" -gt 0 ]; then
    echo "idle window: $failures failed checks; screenshots in $shots" >&2
    exit 1
fi
echo "idle window: all checks passed; screenshots in $shots"
