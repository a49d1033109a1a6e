#!/bin/sh
# tesmira --screenshot FILE --print-preview FILE SCRIPT (offscreen): the script passes through the
# window, and both pictures are PNG files of the window's and of a Letter page's size; with
# FILE.pdf the print is a PDF of its pages.
#   screenshot.sh TESMIRA SCRIPT WORKDIR
set -eu
tesmira=$1 script=$2 dir=$3
rm -rf "$dir" && mkdir -p "$dir"
QT_QPA_PLATFORM=offscreen "$tesmira" --db "$dir/t.db" --screenshot "$dir/window.png" \
    --print-preview "$dir/page.png" "$script" >"$dir/log" 2>&1 || { cat "$dir/log"; exit 1; }
# PNG signature, then the IHDR chunk's width and height (big-endian) at bytes 16..23.
png_size() {
    [ "$(od -An -tx1 -N8 "$1" | tr -d ' \n')" = 89504e470d0a1a0a ] || { echo "$1 is not a PNG"; return 1; }
    od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%dx%d\n", $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }'
}
check() {
    got=$(png_size "$1")
    [ "$got" = "$2" ] || { echo "$1: expected $2, got $got"; exit 1; }
}
check "$dir/window.png" 1100x720
check "$dir/page.png" 850x1100
# The same print as a PDF: the note's one page.
QT_QPA_PLATFORM=offscreen "$tesmira" --db "$dir/t.db" --print-preview "$dir/printed.pdf" "$script" >"$dir/log" 2>&1 ||
    { cat "$dir/log"; exit 1; }
[ "$(head -c 5 "$dir/printed.pdf")" = "%PDF-" ] || { echo "printed.pdf is not a PDF"; exit 1; }
pages=$(grep -a -c '^/Type /Page$' "$dir/printed.pdf" || true)
[ "$pages" = 1 ] || { echo "printed.pdf: expected 1 page, got $pages"; exit 1; }
echo ok
