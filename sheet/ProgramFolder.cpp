#include "ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

QString withoutTrailingSeparator(QString path)
{
    while (path.size() > 1 && (path.endsWith(QLatin1Char('/')) || path.endsWith(QLatin1Char('\\'))))
        path.chop(1);
    return path;
}

// The entry of `dir` that is named `component` without regard to case, or
// `component` itself when it exists exactly or nothing matches.
QString matchEntry(const QString &dir, const QString &component)
{
    if (QFileInfo::exists(dir + QLatin1Char('/') + component))
        return component;
    const QStringList entries = QDir(dir).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &entry : entries) {
        if (entry.compare(component, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return component;
}

} // namespace

QString programFolder()
{
    return withoutTrailingSeparator(QCoreApplication::applicationDirPath());
}

QString resolveResource(const QString &folder, const QString &relative)
{
    QString path = withoutTrailingSeparator(folder);
    const QStringList components = QString(relative)
                                       .replace(QLatin1Char('\\'), QLatin1Char('/'))
                                       .split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString &component : components)
        path += QLatin1Char('/') + matchEntry(path, component);
    return path;
}
