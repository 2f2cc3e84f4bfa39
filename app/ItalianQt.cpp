#include "ItalianQt.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

ItalianQt::ItalianQt()
{
    const QLocale italian(QLocale::Italian, QLocale::Italy);
    QLocale::setDefault(italian);
    // Beside the program where Qt travels with it (Windows), else where Qt
    // installed itself.
    const QString folders[] = {QCoreApplication::applicationDirPath() +
                                   QStringLiteral("/translations"),
                               QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
    for (const QString &folder : folders) {
        loaded_ = translator_.load(italian, QStringLiteral("qtbase"), QStringLiteral("_"), folder);
        if (loaded_)
            break;
    }
    if (loaded_)
        QCoreApplication::installTranslator(&translator_);
}

ItalianQt::~ItalianQt()
{
    if (loaded_)
        QCoreApplication::removeTranslator(&translator_);
}
