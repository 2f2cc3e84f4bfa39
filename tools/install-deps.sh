#!/bin/sh
# Installs the Debian packages TINGOLAMO needs.
#   tools/install-deps.sh build   what building and running the program needs
#   tools/install-deps.sh package that, plus what building the Debian package needs
#   tools/install-deps.sh test    all of that, plus everything the tests need
#   tools/install-deps.sh bench   what building needs, plus the benchmarks
#   tools/install-deps.sh arm64   what the arm64 cross build, its package and its
#                                 tests under qemu need (adds Debian's arm64 architecture)
#   tools/install-deps.sh windows what cross-building the Windows program and
#                                 its installer needs
# Packages already present are left alone, so a second run costs nothing.
set -eu

BUILD_PACKAGES="cmake make g++ pkg-config qt6-base-dev qt6-qpa-plugins \
libgl-dev libfontconfig-dev libsndfile1-dev libpulse-dev libgif-dev libcups2-dev fonts-liberation2 fonts-dejavu-core \
libxcb1-dev librsvg2-bin qt6-translations-l10n \
qt6-svg-dev libpoppler-qt6-dev zlib1g-dev"

PACKAGE_PACKAGES="dpkg-dev file"

TEST_PACKAGES="xvfb xauth xdotool x11-utils x11-xserver-utils imagemagick openbox wmctrl \
pulseaudio pulseaudio-utils sox cups cups-client cups-bsd poppler-utils \
python3 python3-pil python3-numpy time qt6-base-private-dev binutils-mingw-w64-x86-64 \
lintian desktop-file-utils appstream reuse \
dbus dbus-x11 at-spi2-core python3-pyatspi gir1.2-atspi-2.0 \
clang-14 libfuzzer-14-dev libclang-rt-14-dev \
pipewire wireplumber pipewire-pulse sway xwayland grim wtype qt6-wayland \
libwayland-dev libwayland-bin wayland-protocols \
pkexec polkitd libxml2-utils"

# The Windows program: MinGW-w64's compiler, Debian's Qt build tools for the
# MinGW Qt, the texts the installer carries, NSIS, and Wine.
WINDOWS_PACKAGES="cmake make pkg-config xz-utils g++-mingw-w64-x86-64-posix \
binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev qt6-base-dev qt6-base-dev-tools \
qt6-translations-l10n libgif-dev nsis wine wine64"

# Running it under Wine in the tests: Wine's fonts, the X libraries its
# display driver loads, and CUPS' filters for the PostScript Wine prints.
WINE_TEST_PACKAGES="fonts-wine libxrandr2 libxrender1 libxi6 libxcursor1 libxcomposite1 \
libxinerama1 libxfixes3 libxxf86vm1 cups-filters ghostscript"

# Google Benchmark, and OpenCV's flood fill as the yardstick of ours.
BENCH_PACKAGES="libbenchmark-dev libopencv-dev"

# The arm64 cross build: the cross compilers, the arm64 libraries with their
# headers (also what dpkg-shlibdeps reads for the package's Depends) and the
# user-mode emulator its tests run under.
ARM64_PACKAGES="crossbuild-essential-arm64 pkg-config:arm64 qemu-user-static \
qt6-base-dev:arm64 qt6-base-private-dev:arm64 qt6-svg-dev:arm64 qt6-qpa-plugins:arm64 \
libgl-dev:arm64 libfontconfig-dev:arm64 libxcb1-dev:arm64 libsndfile1-dev:arm64 \
libpulse-dev:arm64 libgif-dev:arm64 libcups2-dev:arm64 libpoppler-qt6-dev:arm64 \
zlib1g-dev:arm64"

case "${1:-build}" in
build) packages="$BUILD_PACKAGES" ;;
package) packages="$BUILD_PACKAGES $PACKAGE_PACKAGES" ;;
test) packages="$BUILD_PACKAGES $PACKAGE_PACKAGES $TEST_PACKAGES $WINDOWS_PACKAGES $WINE_TEST_PACKAGES" ;;
bench) packages="$BUILD_PACKAGES $BENCH_PACKAGES" ;;
arm64) packages="$BUILD_PACKAGES $PACKAGE_PACKAGES $ARM64_PACKAGES" ;;
windows) packages="$WINDOWS_PACKAGES" ;;
*)
    echo "usage: $0 build|package|test|bench|arm64|windows" >&2
    exit 2
    ;;
esac

missing=""
for p in $packages; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done
# Debian's arm64 packages are known to apt only once the architecture is added
# and the lists fetched: the arm64 package test also reads those lists.
add_arm64=""
update=""
if [ "${1:-}" = arm64 ]; then
    dpkg --print-foreign-architectures | grep -qx arm64 || add_arm64="dpkg --add-architecture arm64"
    ls /var/lib/apt/lists/*binary-arm64_Packages* >/dev/null 2>&1 || update="yes"
fi
[ -z "$missing$update" ] && exit 0

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null 2>&1; then
        echo "These Debian packages are missing:$missing" >&2
        echo "Installing them needs an administrator, who runs (as root):" >&2
        echo "    ${add_arm64:+$add_arm64 && }apt-get update && apt-get install --no-install-recommends$missing" >&2
        exit 1
    fi
    SUDO="sudo"
fi
if [ -n "$add_arm64" ]; then
    $SUDO $add_arm64
fi
$SUDO apt-get update
[ -z "$missing" ] && exit 0
echo "Installing:$missing"
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends $missing
