# The Windows installer: `cmake --build <build> --target package` writes
# <build>/tingolamo-2.00-win64.exe with CPack's NSIS generator and makensis
# (Debian's nsis when cross-building), from the install rules and our own
# script NSIS.template.in. Read after the settings shared with the Debian
# package, whose generator and prefix it replaces.
set(CPACK_GENERATOR NSIS)
unset(CPACK_PACKAGING_INSTALL_PREFIX)
set(CPACK_PACKAGE_FILE_NAME tingolamo-${CPACK_PACKAGE_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY TINGOLAMO)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY TINGOLAMO)
set(CPACK_NSIS_PACKAGE_NAME TINGOLAMO)
set(CPACK_NSIS_DISPLAY_NAME TINGOLAMO)
set(CPACK_NSIS_INSTALLED_ICON_NAME tingolamo.exe)
set(CPACK_NSIS_UNINSTALL_NAME Disinstalla)
set(CPACK_NSIS_MUI_ICON ${CMAKE_SOURCE_DIR}/art/tingolamo.ico)
set(CPACK_NSIS_MUI_UNIICON ${CMAKE_SOURCE_DIR}/art/tingolamo.ico)
set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")
set(CPACK_NSIS_LEGAL_COPYRIGHT "2026 Pittorello e gli sviluppatori di TINGOLAMO")
# CPack takes NSIS.template.in from here before its own.
set(CPACK_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR})
