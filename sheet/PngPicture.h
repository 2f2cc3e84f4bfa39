#pragma once

#include <QPixmap>
#include <QString>

// A PNG picture of the program's or of Qt's own resources, read by Qt's
// built-in PNG reader. Named by its format, so Qt does not load every image
// plug-in of the system to ask each one whether it knows the file.
QPixmap pngPicture(const QString &path);
