#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// What turning a parent's picture into a colouring page came to.
struct Conversion
{
    QByteArray gif;  // the page as a two-colour GIF, when it may join the drawings
    QString refusal; // why not (Italian), otherwise
    QImage preview;  // the picture as read, on white paper, fitted into the page's room
};

// Reads the picture in `bytes` (the file `name`), makes the colouring page and
// judges it as a drawing. The whole of the work on the picture's contents
// happens here.
Conversion convertPicture(const QByteArray &bytes, const QString &name);
