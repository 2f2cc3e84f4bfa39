#pragma once

#include "PictureFile.h"

#include <QSize>
#include <QString>

// Pictures drawn from a description rather than made of pixels: SVG drawings
// and the first page of a PDF document. They need libraries of their own (Qt
// SVG, poppler), which the Linux build has (linux/); the Windows build goes
// without them (windows/), and there such a file is refused with a line that
// says so.

// Whether SVG drawings and PDF pages are read here.
bool vectorPicturesReadable();

// The first page of the PDF document at `path`, drawn at the largest size
// that fits inside `box`, keeping its proportions.
PictureRead readPdfPage(const QString &path, QSize box);

// The SVG drawing at `path`, drawn likewise.
PictureRead readSvgDrawing(const QString &path, QSize box);

// Keeps the libraries' own warnings about a damaged file to themselves.
void quietVectorLibraries();
