#include "PictureFile.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>

#include <poppler-qt6.h>

#include <memory>

namespace {

// A file larger than this is no picture a parent means to colour.
constexpr qint64 kFileByteLimit = 256 * 1024 * 1024;
// How far into a file to look for what kind of file it is.
constexpr qint64 kHeaderBytes = 4096;
constexpr double kPointsPerInch = 72.0;

PictureRead failed(const QString &why)
{
    return {QImage(), why};
}

QString notAPicture()
{
    return QStringLiteral("non è un'immagine (PNG, JPEG, GIF, BMP, SVG o PDF)");
}

bool looksLikeSvg(const QString &path, const QByteArray &header)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("svg") || suffix == QLatin1String("svgz") ||
           header.contains("<svg");
}

PictureRead readSvg(const QString &path, QSize box)
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

PictureRead readPdf(const QString &path, QSize box)
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
        return readPdf(path, box);
    if (looksLikeSvg(path, header))
        return readSvg(path, box);
    return readRaster(path);
}
