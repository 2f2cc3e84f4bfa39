#include "PageFile.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

#include <algorithm>

namespace {

constexpr QFile::Permissions kReadableByEveryone =
    QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;

PageWrite folderProblem(const QString &folder, const QString &detail)
{
    return {PageWrite::Result::FolderProblem,
            QStringLiteral("non posso scrivere nella cartella %1 (%2)")
                .arg(QDir::toNativeSeparators(folder), detail)};
}

} // namespace

QString drawingName(const QString &picturePath)
{
    return QFileInfo(picturePath).completeBaseName().toLower() + QStringLiteral(".gif");
}

bool isDrawingName(const QString &name)
{
    const QLatin1String ending(".gif");
    const bool plain = std::none_of(name.cbegin(), name.cend(), [](QChar c) {
        return c == QLatin1Char('/') || c.category() == QChar::Other_Control;
    });
    return plain && name.size() > ending.size() && name.endsWith(ending) &&
           !name.startsWith(QLatin1Char('.')) && name == name.toLower() &&
           name.toUtf8().size() <= 255;
}

PageWrite writeNewFile(const QString &folder, const QString &name, const QByteArray &bytes)
{
    if (!QFileInfo(folder).isDir())
        return folderProblem(folder, QStringLiteral("non esiste"));
    const QString target = QDir(folder).filePath(name);
    if (QFileInfo::exists(target))
        return {PageWrite::Result::AlreadyThere, QString()};

    // Hidden and without the .gif ending, so that no picture list shows it.
    QTemporaryFile temporary(QDir(folder).filePath(QStringLiteral(".%1.XXXXXX").arg(name)));
    if (!temporary.open())
        return folderProblem(folder, QFileInfo(folder).isWritable()
                                         ? temporary.errorString()
                                         : QStringLiteral("non ho il permesso: serve sudo?"));
    if (temporary.write(bytes) != bytes.size() || !temporary.flush())
        return folderProblem(folder, temporary.errorString());
    temporary.close();
    if (!temporary.setPermissions(kReadableByEveryone))
        return folderProblem(folder, temporary.errorString());
    // Renamed as itself: on Windows a second handle could not move the file
    // while the temporary file object still holds it.
    if (!temporary.rename(target)) {
        if (QFileInfo::exists(target))
            return {PageWrite::Result::AlreadyThere, QString()};
        return folderProblem(folder, QStringLiteral("il nome %1 non si può usare").arg(name));
    }
    temporary.setAutoRemove(false);
    return {PageWrite::Result::Written, QString()};
}
