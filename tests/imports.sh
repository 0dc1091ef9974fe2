#!/usr/bin/env bash
# imports.sh EXE OBJDUMP: what the built program loads at start-up. The loader looks for an
# imported library beside the program before the program can say otherwise, except for the
# system's known DLLs, which always come from the system directory; the temporary copy runs
# from %TEMP%, where anyone may put a library. So every static import must be a known DLL,
# and GDI+ and oleacc, which are not, may only be delay-loaded (loaded on first use, after
# the program has restricted the search to the system directory).
exe=$1
objdump=$2
known=' advapi32 clbcatq combase comdlg32 coml2 difxapi gdi32 imagehlp imm32 kernel32 msctf msvcrt normaliz nsi ntdll ole32 oleaut32 psapi rpcrt4 sechost setupapi shcore shell32 shlwapi user32 wldap32 ws2_32 '
delayed_only='gdiplus oleacc'

[ -f "$exe" ] || { echo "imports: no program at $exe"; exit 1; }
dump=$("$objdump" -p "$exe") || { echo "imports: $objdump cannot read $exe"; exit 1; }
# "static NAME" and "delay NAME" for each DLL Name line, by the table it stands in.
tables=$(awk '
    /^The Import Tables/ { table = "static"; next }
    /^The Delay Import Tables/ { table = "delay"; next }
    /^The / { table = "" }
    table != "" && /DLL Name:/ { print table, tolower($3) }
' <<<"$dump")
static=$(awk '$1 == "static" { sub(/\.dll$/, "", $2); print $2 }' <<<"$tables")
delay=$(awk '$1 == "delay" { sub(/\.dll$/, "", $2); print $2 }' <<<"$tables")

status=0
[ -n "$static" ] || { echo "imports: no import table in $exe"; status=1; }
for dll in $static; do
    if [[ "$known" != *" $dll "* ]]; then
        echo "imports: $dll.dll is imported at start-up but is no known DLL of the system"
        status=1
    fi
done
for dll in $delayed_only; do
    if grep -qx "$dll" <<<"$static"; then
        echo "imports: $dll.dll is imported at start-up; it must be delay-loaded"
        status=1
    elif [ -n "$delay" ]; then
        grep -qx "$dll" <<<"$delay" || { echo "imports: $dll.dll is not among the delayed imports"; status=1; }
    # MinGW's delay-load descriptors leave the header's delay-import directory empty, so
    # objdump prints no table for them: the descriptor's library name is in the image.
    elif ! grep -aqi "$dll\.dll" "$exe"; then
        echo "imports: $dll.dll is not imported at all"
        status=1
    fi
done
[ $status -eq 0 ] && echo "imports: $(basename "$exe") loads only known DLLs at start-up ($(echo $static | tr ' ' ,)); $(echo $delayed_only | tr ' ' ,) delayed"
exit $status
