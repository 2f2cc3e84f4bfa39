#pragma once

#include <QByteArray>
#include <QString>

// A file larger than this is no picture a parent means to colour.
inline constexpr qint64 kPictureFileLimit = 256 * 1024 * 1024;

// The bytes of a picture's file, or why there are none (Italian, for people).
struct FileBytes
{
    QByteArray bytes;
    QString failure;

    bool ok() const { return failure.isEmpty(); }
};

// Reads the whole file at `path` when it is an ordinary file of at most
// kPictureFileLimit bytes. What is opened is checked, not the name, and the
// open does not wait: a named pipe or a device is refused at once. Nothing of
// the contents is looked at.
FileBytes readPictureFile(const QString &path);

// The standard input up to its end, or its first `limit` + 1 bytes when it
// holds more than `limit`. One implementation per platform (linux/, windows/).
QByteArray readStandardInput(qint64 limit);
