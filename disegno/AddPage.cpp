#include "AddPage.h"

#include "DrawingCheck.h"
#include "GifEncoder.h"
#include "PageFile.h"
#include "PageSteps.h"
#include "PictureFile.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

// A page more black than this is a photograph thresholded into blots, not a
// drawing: colouring pages are mostly paper.
constexpr double kMostInk = 0.5;

DrawingRules pageRules()
{
    DrawingRules rules;
    rules.maxSize = kPageBox;
    rules.minAreas = 2;
    rules.minAreaPixels = kSmallestArea;
    return rules;
}

QString areasText(int areas)
{
    return areas == 1 ? QStringLiteral("1 area") : QStringLiteral("%1 aree").arg(areas);
}

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

PageOutcome refused(const QString &picturePath, const QString &why)
{
    return {false, QStringLiteral("%1: rifiutato, %2").arg(picturePath, why)};
}

PageOutcome skipped(const QString &picturePath, const QString &target)
{
    return {false, QStringLiteral("%1: saltato, %2 c'è già e non lo sostituisco")
                       .arg(picturePath, QDir::toNativeSeparators(target))};
}

PageOutcome written(const QString &picturePath, const QString &target, const QImage &page)
{
    return {true, QStringLiteral("%1: scritto %2 (%3 × %4 pixel, %5)")
                      .arg(picturePath, QDir::toNativeSeparators(target))
                      .arg(page.width())
                      .arg(page.height())
                      .arg(areasText(countAreas(page).areas))};
}

} // namespace

QString drawingName(const QString &picturePath)
{
    return QFileInfo(picturePath).completeBaseName().toLower() + QStringLiteral(".gif");
}

PageOutcome addPage(const QString &picturePath, const QString &folder)
{
    const QString name = drawingName(picturePath);
    const QString target = QDir(folder).filePath(name);
    if (QFileInfo::exists(target))
        return skipped(picturePath, target);

    const PictureRead read = readPicture(picturePath, kPageBox * kWorkingScale);
    if (!read.ok())
        return refused(picturePath, read.failure);
    const QImage page = makeColouringPage(read.picture);
    if (const QString problem = pageProblem(page, pageRules()); !problem.isEmpty())
        return refused(picturePath, problem);
    const QByteArray gif = encodeTwoColourGif(page);
    if (gif.isEmpty())
        return refused(picturePath, QStringLiteral("il GIF non si è potuto comporre"));

    const PageWrite write = writeNewFile(folder, name, gif);
    switch (write.result) {
    case PageWrite::Result::Written:
        return written(picturePath, target, page);
    case PageWrite::Result::AlreadyThere:
        return skipped(picturePath, target);
    case PageWrite::Result::FolderProblem:
        break;
    }
    return refused(picturePath, write.problem);
}
