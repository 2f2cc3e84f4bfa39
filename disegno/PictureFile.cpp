#include "PictureFile.h"

#include "NativeFiles.h"

#include <QFileInfo>

FileBytes readPictureFile(const QString &path)
{
    FileBytes read;
    switch (readOrdinaryFile(nativePath(path), kPictureFileLimit, read.bytes)) {
    case FileRead::Read:
        return read;
    case FileRead::NotAFile:
        return {QByteArray(), QStringLiteral("non è un file")};
    case FileRead::TooLarge:
        return {QByteArray(), QStringLiteral("il file è troppo grande")};
    case FileRead::Unreadable:
        break;
    }
    return {QByteArray(), QFileInfo::exists(path) ? QStringLiteral("il file non si può leggere")
                                                  : QStringLiteral("il file non esiste")};
}
