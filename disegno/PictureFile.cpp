#include "PictureFile.h"

#include "VectorPicture.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace {

// A file larger than this is no picture a parent means to colour.
constexpr qint64 kFileByteLimit = 256 * 1024 * 1024;
// How far into a file to look for what kind of file it is.
constexpr qint64 kHeaderBytes = 4096;

PictureRead failed(const QString &why)
{
    return {QImage(), why};
}

QString notAPicture()
{
    if (vectorPicturesReadable())
        return QStringLiteral("non è un'immagine (PNG, JPEG, GIF, BMP, SVG o PDF)");
    return QStringLiteral("non è un'immagine (PNG, JPEG, GIF o BMP)");
}

bool looksLikeSvg(const QString &path, const QByteArray &header)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("svg") || suffix == QLatin1String("svgz") ||
           header.contains("<svg");
}

PictureRead readRaster(const QString &path)
{
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    const QImage picture = reader.read();
    if (picture.isNull())
        return failed(notAPicture());
    return {picture, QString()};
}

} // namespace

PictureRead readPicture(const QString &path, QSize box)
{
    const QFileInfo info(path);
    if (!info.exists())
        return failed(QStringLiteral("il file non esiste"));
    if (!info.isFile())
        return failed(QStringLiteral("non è un file"));
    if (info.size() > kFileByteLimit)
        return failed(QStringLiteral("il file è troppo grande"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failed(QStringLiteral("il file non si può leggere"));
    const QByteArray header = file.read(kHeaderBytes);
    file.close();
    if (header.startsWith("%PDF-"))
        return readPdfPage(path, box);
    if (looksLikeSvg(path, header))
        return readSvgDrawing(path, box);
    return readRaster(path);
}
