#include "NativeFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

// Every path goes to the system through Qt, which hands Windows the UTF-16
// name: no file name ever passes through the 8-bit code page.

QByteArray nativePath(const QString &path)
{
    return path.toUtf8();
}

QString fromNativePath(const QByteArray &native)
{
    return QString::fromUtf8(native);
}

std::vector<QByteArray> folderEntries(const QByteArray &folder)
{
    std::vector<QByteArray> names;
    const QStringList entries =
        QDir(fromNativePath(folder)).entryList(QDir::AllEntries | QDir::Hidden | QDir::System);
    for (const QString &entry : entries)
        names.push_back(nativePath(entry));
    return names;
}

bool isOrdinaryVisibleFile(const QByteArray &folder, const QByteArray &name)
{
    if (name.startsWith('.'))
        return false;
    const QFileInfo info(QDir(fromNativePath(folder)).filePath(fromNativePath(name)));
    return info.isFile() && !info.isHidden();
}

// A device name ("con.gif" names the console on older Windows) or anything
// else that is not an ordinary file is refused before it is opened.
FileRead readOrdinaryFile(const QByteArray &path, qint64 limit, QByteArray &contents)
{
    const QString name = fromNativePath(path);
    const QFileInfo info(name);
    if (!info.exists())
        return FileRead::Unreadable;
    if (!info.isFile())
        return FileRead::NotAFile;
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return FileRead::Unreadable;
    if (file.size() > limit)
        return FileRead::TooLarge;
    contents = file.read(limit + 1);
    if (contents.size() != file.size())
        return FileRead::Unreadable;
    return FileRead::Read;
}
