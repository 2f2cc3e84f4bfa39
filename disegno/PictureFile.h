#pragma once

#include <QImage>
#include <QSize>
#include <QString>

// What reading a picture file gives: the picture, or why there is none
// (Italian, for people).
struct PictureRead
{
    QImage picture;
    QString failure;

    bool ok() const { return !picture.isNull(); }
};

// Reads a PNG, JPEG, GIF or BMP file (the first picture of it), an SVG
// drawing or the first page of a PDF document, whatever its name says. SVG and
// PDF are drawn at the largest size that fits inside `box`, keeping their
// proportions, where they are read at all (VectorPicture.h); other pictures
// come at their own size.
PictureRead readPicture(const QString &path, QSize box);
