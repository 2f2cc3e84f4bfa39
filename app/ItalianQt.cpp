#include "ItalianQt.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

ItalianQt::ItalianQt()
{
    const QLocale italian(QLocale::Italian, QLocale::Italy);
    QLocale::setDefault(italian);
    loaded_ = translator_.load(italian, QStringLiteral("qtbase"), QStringLiteral("_"),
                               QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (loaded_)
        QCoreApplication::installTranslator(&translator_);
}

ItalianQt::~ItalianQt()
{
    if (loaded_)
        QCoreApplication::removeTranslator(&translator_);
}
