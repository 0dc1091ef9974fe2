# A product installation for the uninstaller to remove, inside a bench prefix
# (sourced after bench.sh). Used by tools/demo and the end-to-end tests.

SANDBOX_DIR_NAME='Qelvo视频格式转换器'
SANDBOX_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Zembrivox'

# sandbox_user_dir PREFIX: the Unix path of the prefix user's profile.
sandbox_user_dir() {
    echo "$1/drive_c/users/$(id -un)"
}

# sandbox_temp_dir PREFIX: the Unix path of the prefix user's %TEMP%.
sandbox_temp_dir() {
    echo "$(sandbox_user_dir "$1")/Temp"
}

# sandbox_install_dir PREFIX: Unix path of the installation directory.
sandbox_install_dir() {
    echo "$1/drive_c/Program Files/$SANDBOX_DIR_NAME"
}

sandbox_shortcut() {
    echo "$(sandbox_user_dir "$1")/Desktop/$SANDBOX_DIR_NAME.lnk"
}

# sandbox_create PREFIX [BULK_FILES]: installation directory with sample files (and
# BULK_FILES more in nested folders, so a removal takes a while), the desktop
# shortcut beside an unrelated desktop file, and the per-user uninstall key.
sandbox_create() {
    local prefix=$1 bulk=${2:-0}
    local dir
    dir=$(sandbox_install_dir "$prefix")
    rm -rf "$dir"
    mkdir -p "$dir/plugins/codecs" "$dir/locales/zh-CN" "$dir/.config"
    cp "$ZMX_BUILD/Uninstall.exe" "$dir/Uninstall.exe"
    head -c 200000 /dev/urandom > "$dir/Qelvo.exe"
    head -c 50000 /dev/urandom > "$dir/plugins/codecs/h264.dll"
    head -c 50000 /dev/urandom > "$dir/plugins/codecs/hevc.dll"
    echo '{"lang":"zh-CN"}' > "$dir/locales/zh-CN/strings.json"
    echo 'first-run=0' > "$dir/.config/settings.ini"
    echo 'Qelvo视频格式转换器 1.0.0.8' > "$dir/readme.txt"
    # Wine reports a file without write permission as read-only.
    echo 'license' > "$dir/license.txt"
    chmod a-w "$dir/license.txt"
    if [ "$bulk" -gt 0 ]; then
        local d f per=$(( (bulk + 99) / 100 ))
        for d in $(seq 1 100); do
            mkdir -p "$dir/presets/group$((d % 10))/set$d"
            for f in $(seq 1 "$per"); do
                : > "$dir/presets/group$((d % 10))/set$d/preset$f.xml"
            done
        done
    fi

    local desktop
    desktop="$(sandbox_user_dir "$prefix")/Desktop"
    mkdir -p "$desktop"
    printf 'L\0\0\0' > "$desktop/$SANDBOX_DIR_NAME.lnk"
    echo 'my notes' > "$desktop/notes.txt"

    WINEPREFIX=$prefix wine reg add "$SANDBOX_KEY" /v DisplayName /d "$SANDBOX_DIR_NAME" /f >/dev/null 2>&1
    WINEPREFIX=$prefix wine reg add "$SANDBOX_KEY" /v UninstallString \
        /d "C:\\Program Files\\$SANDBOX_DIR_NAME\\Uninstall.exe" /f >/dev/null 2>&1
}

# sandbox_key_exists PREFIX
sandbox_key_exists() {
    WINEPREFIX=$1 wine reg query "$SANDBOX_KEY" >/dev/null 2>&1
}

# sandbox_temp_leftovers PREFIX: our files still in the prefix user's temp directory.
sandbox_temp_leftovers() {
    find "$(sandbox_temp_dir "$1")" -maxdepth 1 -iname 'zmx*' 2>/dev/null
}

# sandbox_start PREFIX: starts Uninstall.exe from the installation directory, as a user would.
sandbox_start() {
    local prefix=$1
    (cd "$(sandbox_install_dir "$prefix")" && WINEPREFIX=$prefix wine Uninstall.exe)
}

# sandbox_report PREFIX: what the uninstall removed and what is left.
sandbox_report() {
    local prefix=$1 dir
    dir=$(sandbox_install_dir "$prefix")
    if [ -e "$dir" ]; then
        echo "installation directory: still there, $(find "$dir" -type f | wc -l) files left"
    else
        echo "installation directory: removed"
    fi
    if [ -e "$(sandbox_shortcut "$prefix")" ]; then echo "desktop shortcut: still there"; else echo "desktop shortcut: removed"; fi
    if sandbox_key_exists "$prefix"; then echo "uninstall key: still there"; else echo "uninstall key: removed"; fi
    if [ -e "$(sandbox_user_dir "$prefix")/Desktop/notes.txt" ]; then echo "unrelated desktop file: kept"; else echo "unrelated desktop file: LOST"; fi
    local left
    left=$(sandbox_temp_leftovers "$prefix" | wc -l)
    echo "uninstaller files left in %TEMP%: $left"
    sandbox_temp_leftovers "$prefix" | sed "s|^|  |"
}
