#include "PictureChooser.h"

#include <QDir>
#include <QFileDialog>
#include <QStandardPaths>

namespace {

QString picturePatterns()
{
    QStringList patterns;
    for (const char *ending : {"png", "jpg", "jpeg", "gif", "bmp", "svg", "svgz", "pdf"}) {
        const QString lower = QLatin1String(ending);
        patterns << QStringLiteral("*.") + lower << QStringLiteral("*.") + lower.toUpper();
    }
    return patterns.join(QLatin1Char(' '));
}

QString startFolder()
{
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return QDir(pictures).exists() ? pictures : QDir::homePath();
}

} // namespace

QString choosePicture()
{
    return QFileDialog::getOpenFileName(
        nullptr, QStringLiteral("Scegli un'immagine da trasformare in disegno"), startFolder(),
        QStringLiteral("Immagini (%1)").arg(picturePatterns()));
}
