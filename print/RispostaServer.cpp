#include "RispostaServer.h"

#ifdef TINGOLAMO_CUPS
#include <cups/cups.h>
#endif

std::optional<QString> rifiutoDelServer()
{
#ifdef TINGOLAMO_CUPS
    // Qt hands the document over without looking at the answer; CUPS keeps
    // the last answer of each thread.
    if (cupsLastError() <= IPP_STATUS_OK_EVENTS_COMPLETE)
        return std::nullopt;
    return QString::fromUtf8(cupsLastErrorString());
#else
    return std::nullopt;
#endif
}
