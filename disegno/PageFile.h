#pragma once

#include <QByteArray>
#include <QString>

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
