#include "OnDemandLibrary.h"

#include "ProgramFolder.h"

OnDemandLibrary::OnDemandLibrary(const QString &name) : name_(name) {}

QFunctionPointer OnDemandLibrary::resolve(const char *symbol)
{
    if (!library_.isLoaded()) {
        library_.setFileName(programFolder() + QLatin1Char('/') + name_);
        if (!library_.load())
            return nullptr;
    }
    return library_.resolve(symbol);
}
