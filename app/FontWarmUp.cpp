#include "FontWarmUp.h"

#ifdef TINGOLAMO_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>

#include <system_error>
#endif

FontWarmUp::FontWarmUp()
{
#ifdef TINGOLAMO_HAVE_FONTCONFIG
    try {
        // The configuration fontconfig keeps for the whole process, the very
        // one Qt's font database asks for later.
        worker_ = std::thread([] { FcInit(); });
    } catch (const std::system_error &) {
        // No thread to spare: Qt reads the fonts itself, as it always could.
    }
#endif
}

FontWarmUp::~FontWarmUp()
{
    waitUntilReady();
}

void FontWarmUp::waitUntilReady()
{
    if (worker_.joinable())
        worker_.join();
}
