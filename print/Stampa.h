#pragma once

#include <QImage>
#include <QString>

// Prints `picture`, as loaded from its file, on one page of the system's
// default printer, turned to its shape and scaled to the printable area, with
// no dialog. Returns an empty string when the page is in the printer's queue,
// or the Italian message to show the user; a failed print never reaches the
// paper, not even once the server comes back.
//
// The answer comes within ten seconds whatever the print server does.
// Meanwhile the windows keep painting, and user input waits and is delivered
// afterwards, in order.
QString stampaPagina(const QImage &picture);
