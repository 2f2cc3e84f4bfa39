#include "DisplayCheck.h"
#include "Foglio.h"
#include "FontWarmUp.h"
#include "FusionLook.h"
#include "ItalianQt.h"
#include "SingleInstance.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    if (!graphicalDesktopAvailable())
        return explainNoDesktop();

    FontWarmUp fonts;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TINGOLAMO"));
    QApplication::setApplicationVersion(QStringLiteral("2.00"));
    QApplication::setDesktopFileName(QStringLiteral(TINGOLAMO_APP_ID));
    const ItalianQt italiano;

    SingleInstance istanza;
    if (istanza.handedToRunningCopy())
        return 0;

    fonts.waitUntilReady();
    useFusionLook();
    Foglio foglio;
    istanza.setWindow(&foglio);
    foglio.mostra();
    return QApplication::exec();
}
