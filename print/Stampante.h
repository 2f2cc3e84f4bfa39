#pragma once

#include <QtGlobal>

struct Figura;

// The printer as the picture printing sees it: the page orientation, the
// printable area in the printer's own unit, conversion of lengths between
// units, drawing a picture stretched into a rectangle and ending the document.
//
// Unit codes: 1 twip, 2 point, 3 pixel, 5 inch, 6 millimetre, 7 centimetre,
// 8 HIMETRIC (0.01 mm). Orientation codes: 1 portrait, 2 landscape.
// Any member may throw ErroreStampa when the printer fails.
class Stampante
{
public:
    virtual ~Stampante() = default;

    // Sets the orientation of the page about to be drawn; the printable
    // area read afterwards belongs to it.
    virtual void Orientation(qint16 codice) = 0;

    // Size of the printable area in the current unit.
    virtual float ScaleWidth() = 0;
    virtual float ScaleHeight() = 0;

    // Code of the current unit.
    virtual qint16 ScaleMode() = 0;

    // A horizontal or vertical length converted from one unit to another.
    virtual float ScaleX(float lunghezza, qint16 da, qint16 a) = 0;
    virtual float ScaleY(float lunghezza, qint16 da, qint16 a) = 0;

    // Draws the whole picture stretched into the rectangle, in the current
    // unit, whose origin is the top-left corner of the printable area.
    virtual void PaintPicture(const Figura &figura, float left, float top, double width,
                              double height) = 0;

    // Ends the document: its page goes to the printer.
    virtual void EndDoc() = 0;

protected:
    Stampante() = default;
    Stampante(const Stampante &) = default;
    Stampante &operator=(const Stampante &) = default;
};
