#pragma once

#include "Stampante.h"

#include <QImage>
#include <QList>
#include <QMarginsF>
#include <QPrinter>
#include <QRectF>

class QPrinterInfo;

// A Stampante over a Qt printer: one document of one page on the printer
// `info` names, on its default paper, within its own printable area. Its unit
// is the device pixel (code 3). The page is put together by PaintPicture and
// goes to the printer, whole, only in EndDoc: a document dropped before that
// leaves nothing at the printer.
class StampanteQt final : public Stampante
{
public:
    explicit StampanteQt(const QPrinterInfo &info);

    StampanteQt(const StampanteQt &) = delete;
    StampanteQt &operator=(const StampanteQt &) = delete;

    void Orientation(qint16 codice) override;
    float ScaleWidth() override;
    float ScaleHeight() override;
    qint16 ScaleMode() override;
    float ScaleX(float lunghezza, qint16 da, qint16 a) override;
    float ScaleY(float lunghezza, qint16 da, qint16 a) override;
    void PaintPicture(const Figura &figura, float left, float top, double width,
                      double height) override;
    void EndDoc() override;

private:
    QRectF areaStampabile() const;
    QMarginsF marginiOrientati() const;
    [[noreturn]] void errore(const QString &cosa) const;

    struct Disegno
    {
        QImage immagine;
        QRectF rettangolo; // device pixels from the paper's top-left corner
    };

    QPrinter printer;
    QMarginsF marginiMinimi; // in points, for the portrait page
    QList<Disegno> pagina;
};
