# Cross build for 64-bit ARM Debian (Raspberry Pi OS Bookworm 64-bit is
# Debian 12 arm64) from a Debian machine with the arm64 architecture added:
#   cmake -S . -B build-arm64 --toolchain tools/toolchains/aarch64-linux-gnu.cmake
# The compilers come from crossbuild-essential-arm64, the libraries and their
# headers from the ":arm64" development packages, which Debian's multiarch
# installs beside the build machine's own (tools/install-deps.sh arm64).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)

set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
# pkg-config looks in the arm64 folders only.
set(PKG_CONFIG_EXECUTABLE aarch64-linux-gnu-pkg-config CACHE FILEPATH "pkg-config for arm64")

# Multiarch keeps the target's files under the build machine's own root, in
# the aarch64-linux-gnu folders: libraries, headers and CMake packages are
# looked up there and nowhere else, programs only on the build machine.
set(CMAKE_FIND_ROOT_PATH /)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
execute_process(COMMAND dpkg-architecture -qDEB_BUILD_MULTIARCH
    OUTPUT_VARIABLE build_multiarch OUTPUT_STRIP_TRAILING_WHITESPACE)
set(CMAKE_IGNORE_PATH
    /lib/${build_multiarch} /usr/lib/${build_multiarch} /usr/include/${build_multiarch})

# Qt's moc, rcc and uic are the build machine's (qt6-base-dev-tools).
set(QT_HOST_PATH /usr CACHE PATH "Qt of the build machine")
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/${build_multiarch}/cmake CACHE PATH
    "CMake packages of the build machine's Qt")

# Tests run under user-mode emulation. The arm64 libraries are installed in
# the multiarch root, as on the target, so the emulator needs no prefix of its own.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64-static)
