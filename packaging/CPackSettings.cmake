# The Debian package: `cmake --build <build> --target package` writes
# <build>/tingolamo_2.00-1_<arch>.deb from the install rules.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tingolamo)
set(CPACK_PACKAGE_VERSION 2.00)
set(CPACK_PACKAGE_VENDOR Pittorello)
set(CPACK_PACKAGE_CONTACT "Pittorello <pittore@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "colouring program for small children")
set(CPACK_PACKAGE_DESCRIPTION [[
TINGOLAMO is a colouring program for small children. It opens full screen
with a line drawing; the child picks one of the big colour swatches and
clicks inside an area of the drawing, and the area fills up to its black
outline, with a happy sound.

A list beside the drawing offers the other drawings, the palette holds 4, 8,
16 or 32 colours, a button prints the drawing on the default printer, and a
farewell window ends the program. All texts are Italian.]])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the program asks for by name: the Liberation fonts of its captions,
# Qt's Italian translation and pkexec, through which the window of
# tingolamo-disegno writes into the picture folder. A sound server and a
# print server serve it well, and so does Qt's Wayland plug-in: without it the
# program runs through XWayland on a Wayland desktop, and an X desktop has no
# use for it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "fonts-liberation2 | fonts-liberation, qt6-translations-l10n, pkexec")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pulseaudio | pipewire-pulse, cups, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# A cross build is packaged for the machine it was built for, and
# dpkg-shlibdeps takes that machine's libraries (the ":arm64" ones, say) to
# compute the Depends.
if(CMAKE_CROSSCOMPILING AND CMAKE_LIBRARY_ARCHITECTURE)
    execute_process(COMMAND dpkg-architecture -t ${CMAKE_LIBRARY_ARCHITECTURE} -qDEB_HOST_ARCH
        OUTPUT_VARIABLE CPACK_DEBIAN_PACKAGE_ARCHITECTURE OUTPUT_STRIP_TRAILING_WHITESPACE
        ERROR_QUIET COMMAND_ERROR_IS_FATAL ANY)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
        /lib/${CMAKE_LIBRARY_ARCHITECTURE} /usr/lib/${CMAKE_LIBRARY_ARCHITECTURE})
endif()

if(WIN32)
    include(${CMAKE_CURRENT_LIST_DIR}/windows/CPackNsis.cmake)
endif()
include(CPack)
