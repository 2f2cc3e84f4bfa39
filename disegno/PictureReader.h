#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

// What reading a picture gives: the picture, or why there is none (Italian,
// for people).
struct PictureRead
{
    QImage picture;
    QString failure;

    bool ok() const { return !picture.isNull(); }
};

// Reads the bytes of a PNG, JPEG, GIF or BMP file (the first picture of it),
// an SVG drawing (also gzipped) or the first page of a PDF document, the last
// two where vectorPicturesReadable() (VectorPicture.h); `name`, the file's
// name, only tells an SVG by its ending. What kind of picture it is comes
// from the bytes themselves, and no other kind is read. SVG and PDF are drawn
// at the largest size that fits inside `box`, keeping their proportions;
// other pictures come at their own size.
PictureRead readPicture(const QByteArray &bytes, const QString &name, QSize box);

// The kinds of picture read here, for people: "PNG, JPEG, GIF, BMP, SVG o PDF".
QString readableKinds();

// Why bytes of no kind read here are no picture.
QString notAPictureReason();
