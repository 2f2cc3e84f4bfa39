#!/bin/sh
# Renders the drawings: every art/drawings/<name>.svg becomes Gif/<name>.gif,
# a single-frame GIF of pure black lines on pure white (two-colour palette,
# no anti-aliasing), at the pixel size given by the SVG's width and height.
#
#   tools/make-drawings.sh              render every drawing
#   tools/make-drawings.sh gatto cane   render only the named drawings
#
# Needs rsvg-convert (Debian librsvg2-bin) and ImageMagick (imagemagick).
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
sources="$root/art/drawings"
target="$root/Gif"

for tool in rsvg-convert convert; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "make-drawings: $tool is missing (apt-get install librsvg2-bin imagemagick)" >&2
        exit 1
    fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM

# Fails unless the GIF holds nothing but pure black and pure white pixels.
check_two_colours() {
    colours=$(convert "$1" -format '%c' histogram:info:- |
        sed -n 's/.*\(#[0-9A-Fa-f]\{6\}\).*/\1/p' | tr 'a-f' 'A-F' | sort -u | tr '\n' ' ')
    case "$colours" in
    "#000000 #FFFFFF " | "#000000 " | "#FFFFFF ") return 0 ;;
    esac
    echo "make-drawings: $1 holds colours other than black and white: $colours" >&2
    return 1
}

# Renders one drawing. Every step ends in "|| return 1" because set -e does
# not apply inside a function that is called as part of an "||" list.
render() {
    name=$1
    svg="$sources/$name.svg"
    gif="$target/$name.gif"
    if [ ! -f "$svg" ]; then
        echo "make-drawings: no drawing $svg" >&2
        return 1
    fi
    rsvg-convert --background-color=white -o "$work/$name.png" "$svg" || return 1
    convert "$work/$name.png" -alpha remove -alpha off -colorspace Gray -threshold 55% \
        -type bilevel +dither -colors 2 "gif:$gif" || return 1
    check_two_colours "$gif" || return 1
    echo "$gif $(identify -format '%wx%h' "$gif")"
}

mkdir -p "$target"
status=0
if [ $# -gt 0 ]; then
    for name in "$@"; do
        render "${name%.svg}" || status=1
    done
else
    found=0
    for svg in "$sources"/*.svg; do
        [ -f "$svg" ] || continue
        found=1
        name=$(basename "$svg" .svg)
        render "$name" || status=1
    done
    if [ "$found" -eq 0 ]; then
        echo "make-drawings: no SVG files in $sources" >&2
        status=1
    fi
fi
exit "$status"
