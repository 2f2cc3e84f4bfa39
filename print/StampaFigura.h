#pragma once

#include <QString>

struct Figura;
class Stampante;

// Turns the printer's page to the picture's shape (portrait when it is at
// least as tall as wide) and draws the whole picture from the top-left
// corner of the printable area, scaled with its proportions kept until it
// reaches the area's right or bottom edge. The document stays open.
// Throws ErroreStampa, at the step where it arises, for a picture or a
// printable area of height zero and for any failure of the printer.
void StampaFigura(const Figura &figura, Stampante &stampante);

// One page on `stampante`: StampaFigura, then EndDoc. Returns an empty
// string, or the message of the failure that stopped the print; the steps
// after a failure, EndDoc included, are not carried out.
QString stampaDocumento(const Figura &figura, Stampante &stampante);
