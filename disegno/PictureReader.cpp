#include "PictureReader.h"

#include "VectorPicture.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>

namespace {

// How far into a file to look for what kind of file it is.
constexpr qsizetype kHeaderBytes = 4096;

PictureRead failed(const QString &why)
{
    return {QImage(), why};
}

bool namedSvg(const QString &name)
{
    const QString suffix = QFileInfo(name).suffix().toLower();
    return suffix == QLatin1String("svg") || suffix == QLatin1String("svgz");
}

// An SVG drawing: gzipped (an .svgz file), named so, or with its element near the top.
bool looksLikeSvg(const QByteArray &bytes, const QString &name)
{
    return bytes.startsWith("\x1f\x8b") || namedSvg(name) ||
           bytes.left(kHeaderBytes).contains("<svg");
}

// The image format of a raster picture, from its first bytes.
QByteArray rasterFormat(const QByteArray &bytes)
{
    if (bytes.startsWith("\x89PNG\r\n\x1a\n"))
        return "png";
    if (bytes.startsWith("\xff\xd8\xff"))
        return "jpeg";
    if (bytes.startsWith("GIF87a") || bytes.startsWith("GIF89a"))
        return "gif";
    if (bytes.startsWith("BM"))
        return "bmp";
    return {};
}

PictureRead readRaster(const QByteArray &bytes, const QByteArray &format)
{
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer, format);
    reader.setAutoTransform(true);
    const QImage picture = reader.read();
    if (picture.isNull())
        return failed(notAPictureReason());
    return {picture, QString()};
}

} // namespace

QString readableKinds()
{
    return vectorPicturesReadable() ? QStringLiteral("PNG, JPEG, GIF, BMP, SVG o PDF")
                                    : QStringLiteral("PNG, JPEG, GIF o BMP");
}

QString notAPictureReason()
{
    return QStringLiteral("non è un'immagine (%1)").arg(readableKinds());
}

PictureRead readPicture(const QByteArray &bytes, const QString &name, QSize box)
{
    if (bytes.startsWith("%PDF-"))
        return readPdfPage(bytes, box);
    if (const QByteArray format = rasterFormat(bytes); !format.isEmpty())
        return readRaster(bytes, format);
    if (looksLikeSvg(bytes, name))
        return readSvgDrawing(bytes, box);
    return failed(notAPictureReason());
}
