#include "VectorPicture.h"

#include "SvgCheck.h"

#include <QPainter>
#include <QSvgRenderer>

#include <poppler-qt6.h>

#include <algorithm>
#include <memory>

namespace {

constexpr double kPointsPerInch = 72.0;
// An SVG drawing larger than this once unpacked is no drawing.
constexpr qsizetype kSvgByteLimit = 64 * 1024 * 1024;

PictureRead failed(const QString &why)
{
    return {QImage(), why};
}

bool gzipped(const QByteArray &bytes)
{
    return bytes.startsWith("\x1f\x8b");
}

PictureRead drawSvg(const QByteArray &svg, QSize box)
{
    if (const QString outside = svgOutsideReference(svg); !outside.isEmpty())
        return failed(outside);
    QSvgRenderer renderer(svg);
    if (!renderer.isValid())
        return failed(notAPictureReason());
    QSize size = renderer.defaultSize();
    if (size.isEmpty())
        size = renderer.viewBoxF().size().toSize();
    if (size.isEmpty())
        return failed(notAPictureReason());
    QImage picture(size.scaled(box, Qt::KeepAspectRatio), QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    renderer.render(&painter);
    return {picture, QString()};
}

} // namespace

bool vectorPicturesReadable()
{
    return true;
}

PictureRead readSvgDrawing(const QByteArray &svg, QSize box)
{
    if (!gzipped(svg))
        return drawSvg(svg, box);
    const std::optional<QByteArray> unpacked = gunzip(svg, kSvgByteLimit);
    return unpacked ? drawSvg(*unpacked, box) : failed(notAPictureReason());
}

PictureRead readPdfPage(const QByteArray &bytes, QSize box)
{
    const std::unique_ptr<Poppler::Document> document = Poppler::Document::loadFromData(bytes);
    if (!document)
        return failed(notAPictureReason());
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

void quietVectorLibraries()
{
    Poppler::setDebugErrorFunction([](const QString &, const QVariant &) {}, QVariant());
}
