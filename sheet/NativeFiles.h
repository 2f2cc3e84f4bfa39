#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

// How the sheet reaches the files of the program folder. A path travels as
// bytes: on Linux the file system's own, so that a name that is not valid
// UTF-8 opens again; on Windows the UTF-8 form of the UTF-16 name, which the
// file functions take back whole whatever the system's 8-bit code page.
// One implementation per platform (linux/, windows/).

// `path` as the bytes the functions below take, and back.
QByteArray nativePath(const QString &path);
QString fromNativePath(const QByteArray &native);

// The names of the entries of `folder`; empty when it cannot be read.
std::vector<QByteArray> folderEntries(const QByteArray &folder);

// Whether `name` in `folder` is an ordinary file (a link counts as what it
// points to) that the platform does not hide.
bool isOrdinaryVisibleFile(const QByteArray &folder, const QByteArray &name);

enum class FileRead { Read, Unreadable, NotAFile, TooLarge };

// Reads the ordinary file at `path` whole into `contents`, when it holds at
// most `limit` bytes. Opening never waits: a named pipe or a device is
// refused at once, as NotAFile.
FileRead readOrdinaryFile(const QByteArray &path, qint64 limit, QByteArray &contents);
