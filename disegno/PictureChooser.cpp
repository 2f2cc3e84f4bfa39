#include "PictureChooser.h"

#include "VectorPicture.h"

#include <QDir>
#include <QFileDialog>
#include <QStandardPaths>

namespace {

QString picturePatterns()
{
    QStringList endings{"png", "jpg", "jpeg", "gif", "bmp"};
    if (vectorPicturesReadable())
        endings << "svg"
                << "svgz"
                << "pdf";
    QStringList patterns;
    for (const QString &lower : std::as_const(endings)) {
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
