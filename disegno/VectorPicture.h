#pragma once

#include "PictureReader.h"

#include <QByteArray>
#include <QSize>

// Pictures drawn from a description rather than made of pixels: SVG drawings
// and the first page of a PDF document. They need libraries of their own (Qt
// SVG, zlib, poppler), which the Linux build has (linux/); the Windows build
// goes without them (windows/), and there such a file is refused with a line
// that says so.

// Whether SVG drawings and PDF pages are read here.
bool vectorPicturesReadable();

// The first page of the PDF document `bytes`, drawn at the largest size that
// fits inside `box`, keeping its proportions.
PictureRead readPdfPage(const QByteArray &bytes, QSize box);

// The SVG drawing `svg` (SVG text, or SVG text gzipped), drawn likewise.
PictureRead readSvgDrawing(const QByteArray &svg, QSize box);

// Keeps the libraries' own warnings about a damaged file to themselves.
void quietVectorLibraries();
