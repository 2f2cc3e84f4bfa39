// Printing as a module of its own: CUPS and the libraries it brings are loaded with
// it, at the first click of the print button, not at start-up.

#include "Stampa.h"

#include <QtGlobal>

extern "C" Q_DECL_EXPORT void tingolamoStampa(const QImage &picture, QString &errore)
{
    errore = stampaPagina(picture);
}
