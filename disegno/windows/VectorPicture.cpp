#include "VectorPicture.h"

// The Windows build carries Qt's core libraries alone: no SVG renderer, no
// PDF reader. A parent saves such a page as a PNG picture first.

bool vectorPicturesReadable()
{
    return false;
}

PictureRead readPdfPage(const QByteArray &, QSize)
{
    return {QImage(), QStringLiteral("è un documento PDF, che su Windows non si legge: "
                                     "salva la pagina come immagine PNG")};
}

PictureRead readSvgDrawing(const QByteArray &, QSize)
{
    return {QImage(), QStringLiteral("è un disegno SVG, che su Windows non si legge: "
                                     "salvalo come immagine PNG")};
}

void quietVectorLibraries() {}
