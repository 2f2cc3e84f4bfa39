#pragma once

#include <QByteArray>
#include <QMarginsF>
#include <QPageSize>
#include <QString>

// The default printer as a page is laid out for it: its queue, its default
// paper and the unprintable edges of that paper.
struct Carta
{
    QString stampante;    // the queue's name
    QByteArray indirizzo; // the queue's IPP address
    QByteArray media;     // the paper's IPP name, e.g. "iso_a4_210x297mm"
    QPageSize formato;
    QMarginsF margini; // unprintable edges of the portrait sheet, in points
};

// The paper of `larghezza` x `altezza` hundredths of a millimetre as a page
// size: a standard size when it is one, to within the usual tolerance.
QPageSize formatoDaCentesimi(int larghezza, int altezza);

// Edges given in hundredths of a millimetre, in points.
QMarginsF marginiDaCentesimi(int sinistro, int superiore, int destro, int inferiore);
