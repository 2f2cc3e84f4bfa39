#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <chrono>
#include <future>

// What one drawing may cost. Only the first picture of a GIF is ever shown,
// and only it is decoded; the later ones are walked over without decoding, to
// check that the file is whole. A shown drawing holds about five bytes per
// pixel (the colouring surface and a compact copy of the picture as loaded),
// so the pixel limit caps a drawing at some 160 MiB while it is shown.
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
// The fuzz targets walk the same paths over pictures of at most 256 x 256,
// which run some fifty times faster than the shipped drawings.
inline constexpr qint64 kPicturePixelLimit = qint64(1) << 16;
#else
inline constexpr qint64 kPicturePixelLimit = qint64(1) << 25; // 5792 x 5792 fits
#endif
inline constexpr int kPictureFrameLimit = 1000;
// A file larger than this is no drawing of ours.
inline constexpr qint64 kPictureFileByteLimit = 64 * 1024 * 1024;

// What a load gives: the picture, or why there is none (Italian, for people).
struct PictureLoad
{
    QImage picture;
    QString failure;

    bool ok() const { return !picture.isNull(); }
};

// Loads a GIF drawing from the file at `nativePath` (a path as NativeFiles.h
// gives it: the file system's own bytes on Linux). Only an ordinary file is read, and opening never
// waits: a named pipe or a device is refused at once. The whole file must be a complete,
// well-formed GIF within the limits above: a truncated or damaged file fails
// rather than showing half a drawing.
PictureLoad loadPicture(const QByteArray &nativePath);

// The same checks over a file's contents.
PictureLoad decodePicture(const QByteArray &contents);

// loadPicture() on a worker thread, so that the caller goes on meanwhile.
// Nothing ever waits for the worker to end, not even the future's end; where
// no thread can be had, the load is done at once.
std::future<PictureLoad> loadPictureAside(const QByteArray &nativePath);

// The load `pending` gives, if it comes within `bound`; otherwise a failure
// that says the file does not answer, and the worker is left to end alone.
PictureLoad takeWithin(std::future<PictureLoad> &pending, std::chrono::milliseconds bound);
