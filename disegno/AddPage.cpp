#include "AddPage.h"

#include "PageFile.h"
#include "PageRules.h"
#include "PageWorker.h"
#include "PictureFile.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>

namespace {

Conversion convertAside(const QByteArray &bytes, const QString &name,
                        std::chrono::milliseconds bound)
{
    Conversion conversion;
    QEventLoop loop;
    PageWorker worker;
    QObject::connect(&worker, &PageWorker::finished, &loop, [&](const Conversion &result) {
        conversion = result;
        loop.quit();
    });
    worker.start(bytes, name, bound);
    if (!worker.hasEnded())
        loop.exec();
    return conversion;
}

} // namespace

PageOutcome skippedOutcome(const QString &picturePath, const QString &target)
{
    const QString reason =
        QStringLiteral("%1 c'è già e non lo sostituisco").arg(QDir::toNativeSeparators(target));
    return {PageOutcome::Kind::Skipped, reason,
            QStringLiteral("%1: saltato, %2").arg(picturePath, reason)};
}

PageOutcome writtenOutcome(const QString &picturePath, const QString &target,
                           const CheckedPage &page)
{
    return {PageOutcome::Kind::Written, QString(),
            QStringLiteral("%1: scritto %2 (%3 × %4 pixel, %5)")
                .arg(picturePath, QDir::toNativeSeparators(target))
                .arg(page.page.width())
                .arg(page.page.height())
                .arg(areasText(page.areas))};
}

PageOutcome refused(const QString &picturePath, const QString &why)
{
    return {PageOutcome::Kind::Refused, why,
            QStringLiteral("%1: rifiutato, %2").arg(picturePath, why)};
}

PageOutcome writePage(const QString &label, const QString &folder, const QString &name,
                      const CheckedPage &page)
{
    const QString target = QDir(folder).filePath(name);
    if (!page.ok())
        return refused(label, page.problem);
    const PageWrite write = writeNewFile(folder, name, page.gif);
    switch (write.result) {
    case PageWrite::Result::Written:
        return writtenOutcome(label, target, page);
    case PageWrite::Result::AlreadyThere:
        return skippedOutcome(label, target);
    case PageWrite::Result::FolderProblem:
        break;
    }
    return refused(label, write.problem);
}

std::optional<PageOutcome> outcomeBeforeReading(const QString &picturePath, const QString &folder,
                                                const QString &name)
{
    if (!isDrawingName(name))
        return refused(picturePath,
                       QStringLiteral("il nome %1 non va bene per un disegno").arg(name));
    const QString target = QDir(folder).filePath(name);
    if (QFileInfo::exists(target))
        return skippedOutcome(picturePath, target);
    return std::nullopt;
}

PageOutcome addPage(const QString &picturePath, const QString &folder,
                    std::chrono::milliseconds bound)
{
    const QString name = drawingName(picturePath);
    if (const std::optional<PageOutcome> early = outcomeBeforeReading(picturePath, folder, name))
        return *early;
    const FileBytes file = readPictureFile(picturePath);
    if (!file.ok())
        return refused(picturePath, file.failure);
    const Conversion conversion =
        convertAside(file.bytes, QFileInfo(picturePath).fileName(), bound);
    if (!conversion.refusal.isEmpty())
        return refused(picturePath, conversion.refusal);
    return writePage(picturePath, folder, name, checkPage(conversion.gif));
}
