#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <optional>

// The largest picture the sheet accepts, in bytes of its 32-bit image.
inline constexpr qint64 kPictureByteLimit = 128 * 1024 * 1024;

// What a load gives: the picture, or why there is none (Italian, for people).
struct PictureLoad
{
    QImage picture;
    QString failure;

    bool ok() const { return !picture.isNull(); }
};

// Loads a GIF drawing from the file at `nativePath` (the file system's own
// bytes). The whole file must be a complete, well-formed GIF whose pictures
// fit the byte limit: a truncated or damaged file fails rather than showing
// half a drawing.
PictureLoad loadPicture(const QByteArray &nativePath);

// The same checks over a file's contents.
PictureLoad decodePicture(const QByteArray &contents);
