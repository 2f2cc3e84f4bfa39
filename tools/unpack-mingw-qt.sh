#!/bin/sh
# Unpacks the MinGW-w64 build of Qt (and giflib, and the MinGW runtime DLLs)
# that the Windows build is made with into a build folder, after checking the
# archive against its .sha256 file.
#   tools/unpack-mingw-qt.sh <build folder>
# The archive is ../shared/toolchains/qt6.4.2-mingw64.tar.xz beside the
# source tree unless TINGOLAMO_MINGW_QT_TARBALL names another one. It lands in
# <build folder>/qt6.4.2-mingw64; a folder unpacked from the same archive
# before is kept as it is.
set -eu

[ $# -eq 1 ] || { echo "usage: $0 <build folder>" >&2; exit 2; }
build=$1
source_dir=$(cd "$(dirname "$0")/.." && pwd)
tarball=${TINGOLAMO_MINGW_QT_TARBALL:-$source_dir/../shared/toolchains/qt6.4.2-mingw64.tar.xz}
name=qt6.4.2-mingw64
prefix=$build/$name
stamp=$prefix/.unpacked-from

if [ ! -f "$tarball" ] || [ ! -f "$tarball.sha256" ]; then
    echo "$0: $tarball (and its .sha256) not found; set TINGOLAMO_MINGW_QT_TARBALL" >&2
    exit 1
fi
expected=$(cut -d' ' -f1 "$tarball.sha256")
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$expected" ]; then
    exit 0
fi
actual=$(sha256sum "$tarball" | cut -d' ' -f1)
if [ "$actual" != "$expected" ]; then
    echo "$0: $tarball does not match its .sha256" >&2
    exit 1
fi
mkdir -p "$build"
rm -rf "$prefix" "$prefix.part"
mkdir "$prefix.part"
tar -xJf "$tarball" -C "$prefix.part"
[ -d "$prefix.part/$name/lib/cmake/Qt6" ] || { echo "$0: $tarball holds no $name/ prefix" >&2; exit 1; }
mv "$prefix.part/$name" "$prefix"
rmdir "$prefix.part"
echo "$expected" >"$stamp"
echo "Unpacked $name into $build"
