#!/bin/sh
# Installs the Debian packages TINGOLAMO needs.
#   tools/install-deps.sh build   what building and running the program needs
#   tools/install-deps.sh test    that, plus everything the tests need
#   tools/install-deps.sh bench   what building needs, plus the benchmarks
# Packages already present are left alone, so a second run costs nothing.
set -eu

BUILD_PACKAGES="cmake make g++ pkg-config qt6-base-dev qt6-qpa-plugins libqt6printsupport6 \
libgl-dev libsndfile1-dev libpulse-dev libgif-dev libcups2-dev fonts-liberation2 fonts-dejavu-core"

TEST_PACKAGES="xvfb xauth xdotool x11-utils x11-xserver-utils imagemagick openbox wmctrl \
pulseaudio pulseaudio-utils sox cups cups-client cups-bsd poppler-utils \
python3 python3-pil python3-numpy time qt6-base-private-dev binutils-mingw-w64-x86-64"

# Google Benchmark, and OpenCV's flood fill as the yardstick of ours.
BENCH_PACKAGES="libbenchmark-dev libopencv-dev"

case "${1:-build}" in
build) packages="$BUILD_PACKAGES" ;;
test) packages="$BUILD_PACKAGES $TEST_PACKAGES" ;;
bench) packages="$BUILD_PACKAGES $BENCH_PACKAGES" ;;
*)
    echo "usage: $0 build|test|bench" >&2
    exit 2
    ;;
esac

missing=""
for p in $packages; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done
[ -z "$missing" ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Installing:$missing"
$SUDO apt-get update
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends $missing
