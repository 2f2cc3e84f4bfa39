# Cross-building the Windows program (x86-64, Windows 10 and 11) on Debian with
# MinGW-w64's posix-thread compilers and a MinGW build of Qt:
#
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=tools/toolchains/mingw-w64.cmake
#
# TINGOLAMO_MINGW_PREFIX names the MinGW prefix that holds Qt, giflib and the
# MinGW runtime DLLs. By default it is the archive of ../shared/toolchains
# unpacked into the build folder, which tools/unpack-mingw-qt.sh does here when
# it is not there yet (TINGOLAMO_MINGW_QT_TARBALL points it at another archive).
# Qt's build tools (moc, rcc, uic) are Debian's own, from QT_HOST_PATH.
# Tests run under wine: CTest starts every test program through it.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# Try-compile projects read this file again: they get the prefix from the
# project that started them.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TINGOLAMO_MINGW_PREFIX)

if(NOT TINGOLAMO_MINGW_PREFIX)
    set(_tingolamo_default_prefix "${CMAKE_BINARY_DIR}/qt6.4.2-mingw64")
    if(NOT EXISTS "${_tingolamo_default_prefix}/lib/cmake/Qt6")
        execute_process(
            COMMAND sh "${CMAKE_CURRENT_LIST_DIR}/../unpack-mingw-qt.sh" "${CMAKE_BINARY_DIR}"
            RESULT_VARIABLE _tingolamo_unpacked)
        if(NOT _tingolamo_unpacked EQUAL 0)
            message(FATAL_ERROR "No MinGW Qt: set TINGOLAMO_MINGW_PREFIX or TINGOLAMO_MINGW_QT_TARBALL")
        endif()
    endif()
    set(TINGOLAMO_MINGW_PREFIX "${_tingolamo_default_prefix}" CACHE PATH
        "MinGW prefix with Qt 6, giflib and the MinGW runtime DLLs")
endif()

set(CMAKE_PREFIX_PATH "${TINGOLAMO_MINGW_PREFIX}")
set(CMAKE_FIND_ROOT_PATH "${TINGOLAMO_MINGW_PREFIX}" /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(QT_HOST_PATH /usr CACHE PATH "Where Qt's build tools for this machine live")
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH
    "The CMake packages of Qt's build tools")

# pkg-config sees only the prefix: the build machine's own .pc files (xcb,
# fontconfig, libpulse) describe Linux libraries.
set(ENV{PKG_CONFIG_LIBDIR} "${TINGOLAMO_MINGW_PREFIX}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")

find_program(TINGOLAMO_WINE NAMES wine wine64)
if(TINGOLAMO_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR "${TINGOLAMO_WINE}")
endif()
