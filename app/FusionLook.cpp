#include "FusionLook.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>

namespace {

bool isWindowsOwnStyle(const QString &name)
{
    for (const char *own : {"windows", "windowsvista", "windows11"}) {
        if (name.compare(QLatin1String(own), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

void useFusionLook()
{
    if (!isWindowsOwnStyle(QApplication::style()->name()))
        return;
    QStyle *const fusion = QStyleFactory::create(QStringLiteral("fusion"));
    if (!fusion)
        return;
    QApplication::setStyle(fusion);
    QApplication::setPalette(fusion->standardPalette());
}
