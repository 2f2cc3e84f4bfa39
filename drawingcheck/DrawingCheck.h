#pragma once

#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>

// What a drawing of the picture folder must be so that a child can colour it:
// pure black lines on pure white, every area big enough to hit, a number of
// areas that suits small children, and a size that fits beside the palette.
struct DrawingRules
{
    QSize maxSize{355, 560};
    int minAreas = 8;
    int maxAreas = 60;
    int minAreaPixels = 150;
};

// The areas of a drawing: the 4-connected regions of pixels that are not pure
// black, each of which one fill colours whole.
struct AreaCount
{
    int areas = 0;
    int smallestPixels = 0;
    QPoint smallestAt; // a pixel of the smallest area
};

// Labels the areas of `image` with the program's own border fill.
AreaCount countAreas(const QImage &image);

// The number of pixels that are neither pure black nor pure white, and the
// first of them in reading order.
int strayColourPixels(const QImage &image, QPoint *first = nullptr);

// Every rule the picture breaks, one line each; empty when it is fine.
QStringList drawingProblems(const QImage &image, const DrawingRules &rules);

// Every rule the bytes of a GIF file break: not a GIF, a declared size over
// the rules' (then nothing is decoded), more than one frame, undecodable, and
// then whatever drawingProblems() finds in its picture, which `picture`
// receives when it was decoded.
QStringList drawingBytesProblems(const QByteArray &bytes, const DrawingRules &rules,
                                 QImage *picture = nullptr);

// The same for the file at `path`.
QStringList drawingFileProblems(const QString &path, const DrawingRules &rules);

// The rules for one file of the picture folder: the drawing shown at start
// is kept simpler than the others.
DrawingRules rulesForFile(const QString &fileName);
