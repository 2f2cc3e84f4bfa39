#include "VectorPicture.h"

#include <QPainter>
#include <QSvgRenderer>

#include <poppler-qt6.h>

#include <algorithm>
#include <memory>

namespace {

constexpr double kPointsPerInch = 72.0;

PictureRead failed(const QString &why)
{
    return {QImage(), why};
}

QString notAPicture()
{
    return QStringLiteral("non è un'immagine (PNG, JPEG, GIF, BMP, SVG o PDF)");
}

} // namespace

bool vectorPicturesReadable()
{
    return true;
}

PictureRead readSvgDrawing(const QString &path, QSize box)
{
    QSvgRenderer renderer(path);
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

PictureRead readPdfPage(const QString &path, QSize box)
{
    const std::unique_ptr<Poppler::Document> document = Poppler::Document::load(path);
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

void quietVectorLibraries()
{
    Poppler::setDebugErrorFunction([](const QString &, const QVariant &) {}, QVariant());
}
