#pragma once

#include <QByteArray>
#include <QString>

// The name of the drawing made from `picturePath`: its base name in lower
// case, with the .gif ending.
QString drawingName(const QString &picturePath);

// Whether `name` may name a drawing of the picture folder: one file name,
// not hidden (the picture list would not show it), in lower case, ending in
// .gif, with no control characters, of at most 255 bytes.
bool isDrawingName(const QString &name);

// What writing a new drawing into a folder came to.
struct PageWrite
{
    enum class Result { Written, AlreadyThere, FolderProblem };
    Result result = Result::FolderProblem;
    QString problem; // why the folder took nothing (Italian), for FolderProblem
};

// Writes `bytes` as the file `name` of `folder`, readable by everyone, whole or
// not at all: into a hidden temporary file first, renamed to `name` only when
// complete. An existing file of that name is never replaced, not even one
// that appears while writing; nothing is left behind when the write fails.
PageWrite writeNewFile(const QString &folder, const QString &name, const QByteArray &bytes);
