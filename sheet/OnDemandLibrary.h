#pragma once

#include <QLibrary>
#include <QString>

// A part of the program built as a library of its own beside the executable
// and loaded the first time one of its entry points is wanted, so that
// start-up pays neither for it nor for the system libraries it brings.
class OnDemandLibrary
{
public:
    // `name` is the module's file name in the program folder, without suffix.
    explicit OnDemandLibrary(const QString &name);

    // The entry point `symbol` as a `Function`, or null when the module or
    // the symbol is missing. The first call loads the module.
    template <typename Function> Function *entry(const char *symbol)
    {
        return reinterpret_cast<Function *>(resolve(symbol));
    }

private:
    QFunctionPointer resolve(const char *symbol);

    QString name_;
    QLibrary library_;
};
