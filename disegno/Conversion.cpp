#include "Conversion.h"

#include "GifEncoder.h"
#include "PageRules.h"
#include "PageSteps.h"
#include "PictureReader.h"

#include <QPainter>

#include <algorithm>

namespace {

// A page more black than this is a photograph thresholded into blots, not a
// drawing: colouring pages are mostly paper.
constexpr double kMostInk = 0.5;

double inkShare(const QImage &page)
{
    const QImage rgb = page.convertToFormat(QImage::Format_RGB32);
    qint64 ink = 0;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        ink += std::count_if(line, line + rgb.width(),
                             [](QRgb pixel) { return (pixel & 0x00FFFFFFu) == 0; });
    }
    return double(ink) / (qint64(rgb.width()) * rgb.height());
}

// Why the page may not join the drawings, or nothing when it passes.
QString pageProblem(const QImage &page, const DrawingRules &rules)
{
    if (const double ink = inkShare(page); ink > kMostInk)
        return QStringLiteral("è quasi tutto nero (%1% del foglio): sembra una fotografia, "
                              "non un disegno")
            .arg(qRound(ink * 100));
    const QStringList problems = drawingProblems(page, rules);
    if (problems.isEmpty())
        return {};
    const int areas = countAreas(page).areas;
    if (areas < rules.minAreas)
        return QStringLiteral("niente da colorare (%1)").arg(areasText(areas));
    if (areas > rules.maxAreas)
        return QStringLiteral("troppi dettagli (%1, al massimo %2)")
            .arg(areasText(areas))
            .arg(rules.maxAreas);
    return QStringLiteral("il disegno non passa il controllo: %1")
        .arg(problems.join(QStringLiteral("; ")));
}

QImage previewOf(const QImage &picture)
{
    QImage preview(fitInside(picture.size(), kPageBox), QImage::Format_RGB32);
    preview.fill(Qt::white);
    QPainter painter(&preview);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(preview.rect(), picture);
    return preview;
}

} // namespace

Conversion convertPicture(const QByteArray &bytes, const QString &name)
{
    const PictureRead read = readPicture(bytes, name, kPageBox * kWorkingScale);
    if (!read.ok())
        return {QByteArray(), read.failure, QImage()};
    Conversion conversion;
    conversion.preview = previewOf(read.picture);
    const QImage page = makeColouringPage(read.picture);
    conversion.refusal = pageProblem(page, pageRules());
    if (conversion.refusal.isEmpty()) {
        conversion.gif = encodeTwoColourGif(page);
        if (conversion.gif.isEmpty())
            conversion.refusal = QStringLiteral("il GIF non si è potuto comporre");
    }
    return conversion;
}
