#!/bin/sh
# Puts every drawing of Gif/ on one labelled overview picture for the README:
# art/drawings/contact-sheet.png (or the path given as the only argument).
#
# Needs ImageMagick (Debian imagemagick) and a TrueType font; DejaVu Sans
# (fonts-dejavu-core) is used when it is installed.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
output=${1:-"$root/art/drawings/contact-sheet.png"}

if ! command -v montage >/dev/null 2>&1; then
    echo "contact-sheet: montage is missing (apt-get install imagemagick)" >&2
    exit 1
fi

font=""
for candidate in /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf \
    /usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf; do
    if [ -f "$candidate" ]; then
        font=$candidate
        break
    fi
done

# The drawings in name order, whatever the letter case of their extension.
list=$(mktemp)
trap 'rm -f "$list"' EXIT INT TERM
find "$root/Gif" -maxdepth 1 -type f -iname '*.gif' | LC_ALL=C sort >"$list"
if [ ! -s "$list" ]; then
    echo "contact-sheet: no drawings in $root/Gif" >&2
    exit 1
fi

# Every tile is as big as the largest drawing; each drawing keeps its own size
# and sits in the middle of its tile, with its file name below.
set -- -label '%t' -background white -fill black -pointsize 22
[ -n "$font" ] && set -- "$@" -font "$font"
# shellcheck disable=SC2046 # one drawing path per line, none with spaces
montage "$@" $(cat "$list") -geometry '355x560>+10+10' -gravity center \
    -tile 6x -bordercolor gray60 -border 1 \
    -define png:exclude-chunks=date,time "png:$output"
echo "$output $(identify -format '%wx%h' "$output") from $(wc -l <"$list") drawings"
