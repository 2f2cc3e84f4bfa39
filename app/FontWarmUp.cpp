#include "FontWarmUp.h"

#ifdef TINGOLAMO_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>

#include <system_error>
#include <thread>
#endif

void startReadingFonts()
{
#ifdef TINGOLAMO_HAVE_FONTCONFIG
    try {
        // The configuration fontconfig keeps for the whole process, the very
        // one Qt's font database asks for later.
        std::thread([] { FcInit(); }).detach();
    } catch (const std::system_error &) {
        // No thread to spare: Qt reads the fonts itself, as it always could.
    }
#endif
}
