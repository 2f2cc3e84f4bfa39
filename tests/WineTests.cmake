# The Windows build's tests run under wine (the toolchain's emulator), in a
# wine prefix of their own inside the build folder, made once by the
# wine_prefix test that every other test waits for. Qt's DLLs and the MinGW
# runtime DLLs are found through WINEPATH, Qt's plug-ins beside Qt's DLLs.

set(TINGOLAMO_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(TINGOLAMO_WINE_FONTS /usr/share/fonts/truetype/liberation2)
string(REPLACE "/" "\\" mingw_bin "Z:${TINGOLAMO_MINGW_PREFIX}/bin")
# No offer to install wine's .NET or browser, and of wine's debugging
# channels only the one that carries what a program tells a debugger: where
# there is no console, Qt's messages and the test logs go there.
set(TINGOLAMO_WINE_ENV
    "WINEPREFIX=${TINGOLAMO_WINEPREFIX}"
    "WINEDEBUG=-all,+debugstr"
    "WINEDLLOVERRIDES=mscoree,mshtml="
    "WINEPATH=${mingw_bin}")

# With Wine's null display driver the tests, all on Qt's offscreen platform,
# need no X server. (A prefix that shows real windows keeps Wine's X11
# driver.)
add_test(NAME wine_prefix
    COMMAND sh -c "wineboot -i >/dev/null 2>&1 && \
wine reg add 'HKCU\\Software\\Wine\\Drivers' /v Graphics /d null /f >/dev/null && \
wineserver -w")
set_tests_properties(wine_prefix PROPERTIES
    ENVIRONMENT "${TINGOLAMO_WINE_ENV}"
    FIXTURES_SETUP wine
    TIMEOUT 300)

# tingolamo_under_wine(<test>...)
# Runs each test with the environment above, once the prefix is there. Wine
# keeps a program's QT_ variables from the Windows program, and passes each
# on when its name is given a WINE prefix: so each QT_ variable of the test
# goes in under that name too. The widgets are drawn in Fusion, as the
# program draws them (app/FusionLook.h). Qt's offscreen platform reads its
# fonts from one folder, the build machine's Liberation fonts, so that the
# sheet and the farewell window find the font they ask for as on Linux.
function(tingolamo_under_wine)
    foreach(test IN LISTS ARGN)
        get_test_property(${test} ENVIRONMENT environment)
        set(wine_environment ${TINGOLAMO_WINE_ENV} "WINEQT_STYLE_OVERRIDE=fusion"
            "WINEQT_QPA_FONTDIR=${TINGOLAMO_WINE_FONTS}")
        foreach(entry IN LISTS environment)
            if(entry MATCHES "^QT_")
                list(APPEND wine_environment "WINE${entry}")
            endif()
        endforeach()
        set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT ${wine_environment})
        set_property(TEST ${test} APPEND PROPERTY FIXTURES_REQUIRED wine)
    endforeach()
endfunction()
