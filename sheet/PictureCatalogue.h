#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

// The picture folder as the list shows it. File names are kept as the exact
// bytes the file system gave (on Windows, the UTF-8 form of the UTF-16 name:
// NativeFiles.h), so any name opens again, whatever it displays as.
struct CatalogueEntry
{
    QByteArray nativeName;
    QString displayName;
};

// Whether a file name matches the list's pattern "*.GIF", without regard to case.
bool matchesPicturePattern(const QByteArray &nativeName);

// How a file name shows: UTF-8 where it is valid, otherwise each byte as a
// Windows-1252 character.
QString displayName(const QByteArray &nativeName);

// Case-insensitive natural order: "disegno2" before "disegno10". Returns <0, 0
// or >0.
int naturalCompare(const QString &a, const QString &b);

// The ordinary, non-hidden files of `folder` that match the pattern, in
// natural order. A missing or unreadable folder gives an empty list.
std::vector<CatalogueEntry> listPictures(const QByteArray &folder);
