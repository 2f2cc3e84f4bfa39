#pragma once

#include "Carta.h"
#include "Stampante.h"

#include <QImage>
#include <QList>
#include <QPageLayout>
#include <QRectF>

#include <functional>

// A Stampante that puts the page together as a PDF document laid out for
// `carta`: its paper, full page, within the printer's own printable area.
// Its unit is the device pixel (code 3) at 1,200 dots per inch. The page is
// drawn and handed to `consegna` only in EndDoc: a document dropped before
// that leaves nothing anywhere.
class StampantePdf final : public Stampante
{
public:
    // Receives the finished document and whether its page is landscape;
    // throws ErroreStampa when it could not hand it over.
    using Consegna = std::function<void(const QByteArray &pdf, bool orizzontale)>;

    StampantePdf(const Carta &carta, Consegna consegna);

    StampantePdf(const StampantePdf &) = delete;
    StampantePdf &operator=(const StampantePdf &) = delete;

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
    QByteArray documento() const;
    [[noreturn]] void errore(const QString &cosa) const;

    struct Disegno
    {
        QImage immagine;
        QRectF rettangolo; // device pixels from the paper's top-left corner
    };

    QString stampante;
    QMarginsF marginiMinimi; // in points, for the portrait page
    QPageLayout impaginazione;
    Consegna consegna;
    QList<Disegno> pagina;
};
