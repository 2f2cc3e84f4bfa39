#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// A GIF that came from elsewhere (the worker process, or the window through
// the administrator's helper), judged before it is written: it must be a
// finished page that passes the drawing check.
struct CheckedPage
{
    QImage page;     // the picture, as decoded
    QByteArray gif;  // the bytes to write: our own encoding of that picture
    QString problem; // why it may not be written (Italian), or nothing
    int areas = 0;

    bool ok() const { return problem.isEmpty(); }
};

// More than this is no page of 355 x 560 pixels in two colours.
inline constexpr qsizetype kMostPageBytes = 1024 * 1024;

CheckedPage checkPage(const QByteArray &gif);
