#pragma once

#include <QString>

// What became of one picture given to tingolamo-disegno: whether its page was
// written, and the Italian line that says so.
struct PageOutcome
{
    bool written = false;
    QString line;
};

// The name of the drawing made from `picturePath`: its base name in lower
// case, with the .gif ending.
QString drawingName(const QString &picturePath);

// Turns the picture at `picturePath` into a colouring page and adds it to
// `folder`, unless a drawing of that name is there already or the page fails
// the drawing check.
PageOutcome addPage(const QString &picturePath, const QString &folder);
