#include "PictureReader.h"

#include "SvgCheck.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>

#include <poppler-qt6.h>

#include <memory>

namespace {

// How far into a file to look for what kind of file it is.
constexpr qsizetype kHeaderBytes = 4096;
// An SVG drawing larger than this once unpacked is no drawing.
constexpr qsizetype kSvgByteLimit = 64 * 1024 * 1024;
constexpr double kPointsPerInch = 72.0;

PictureRead failed(const QString &why)
{
    return {QImage(), why};
}

QString notAPicture()
{
    return QStringLiteral("non è un'immagine (PNG, JPEG, GIF, BMP, SVG o PDF)");
}

bool namedSvg(const QString &name)
{
    const QString suffix = QFileInfo(name).suffix().toLower();
    return suffix == QLatin1String("svg") || suffix == QLatin1String("svgz");
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

PictureRead readSvg(const QByteArray &svg, QSize box)
{
    if (const QString outside = svgOutsideReference(svg); !outside.isEmpty())
        return failed(outside);
    QSvgRenderer renderer(svg);
    if (!renderer.isValid())
        return failed(notAPicture());
    QSize size = renderer.defaultSize();
    if (size.isEmpty())
        size = renderer.viewBoxF().size().toSize();
    if (size.isEmpty())
        return failed(notAPicture());
    QImage picture(size.scaled(box, Qt::KeepAspectRatio), QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    renderer.render(&painter);
    return {picture, QString()};
}

PictureRead readPdf(const QByteArray &bytes, QSize box)
{
    const std::unique_ptr<Poppler::Document> document = Poppler::Document::loadFromData(bytes);
    if (!document)
        return failed(notAPicture());
    if (document->isLocked())
        return failed(QStringLiteral("il PDF è protetto da una password"));
    if (document->numPages() < 1)
        return failed(QStringLiteral("il PDF non ha pagine"));
    const std::unique_ptr<Poppler::Page> page = document->page(0);
    const QSizeF points = page ? page->pageSizeF() : QSizeF();
    if (points.isEmpty())
        return failed(QStringLiteral("la prima pagina del PDF è vuota"));
    const double dpi =
        kPointsPerInch * std::min(box.width() / points.width(), box.height() / points.height());
    document->setRenderHint(Poppler::Document::Antialiasing);
    document->setRenderHint(Poppler::Document::TextAntialiasing);
    const QImage picture = page->renderToImage(dpi, dpi);
    if (picture.isNull())
        return failed(QStringLiteral("la prima pagina del PDF non si può disegnare"));
    return {picture, QString()};
}

PictureRead readRaster(const QByteArray &bytes, const QByteArray &format)
{
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer, format);
    reader.setAutoTransform(true);
    const QImage picture = reader.read();
    if (picture.isNull())
        return failed(notAPicture());
    return {picture, QString()};
}

} // namespace

PictureRead readPicture(const QByteArray &bytes, const QString &name, QSize box)
{
    if (bytes.startsWith("%PDF-"))
        return readPdf(bytes, box);
    if (const QByteArray format = rasterFormat(bytes); !format.isEmpty())
        return readRaster(bytes, format);
    if (const std::optional<QByteArray> unpacked = gunzip(bytes, kSvgByteLimit))
        return readSvg(*unpacked, box);
    if (namedSvg(name) || bytes.left(kHeaderBytes).contains("<svg"))
        return readSvg(bytes, box);
    return failed(notAPicture());
}
