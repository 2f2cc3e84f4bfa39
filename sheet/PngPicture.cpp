#include "PngPicture.h"

#include <QImageReader>

QPixmap pngPicture(const QString &path)
{
    QImageReader reader(path, QByteArrayLiteral("png"));
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}
