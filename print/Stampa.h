#pragma once

#include <QImage>
#include <QString>

// Prints `picture`, as loaded from its file, on one page of the system's
// default printer, turned to its shape and scaled to the printable area, with
// no dialog. Returns an empty string when the page went to the printer, or
// the Italian message to show the user; a failed print leaves nothing in the
// printer's queue.
QString stampaPagina(const QImage &picture);
