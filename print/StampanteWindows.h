#pragma once

#include "Stampante.h"

#include <QPainter>
#include <QPrinter>
#include <QString>

#include <functional>

// The Windows printer object for one printer: Qt's printer on the system's
// own print engine (GDI and the spooler), with the printer's own paper and
// printable area. Its unit is the device pixel (code 3) at the printer's
// resolution, horizontally and vertically each. The document starts with the
// first drawing and ends with EndDoc; `inTempo` is asked just before the page
// is let go, and a document whose time is up is dropped instead, so a page
// the user was told did not print never prints later.
class StampanteWindows final : public Stampante
{
public:
    StampanteWindows(const QString &nome, std::function<bool()> inTempo);
    ~StampanteWindows() override;

    StampanteWindows(const StampanteWindows &) = delete;
    StampanteWindows &operator=(const StampanteWindows &) = delete;

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
    [[noreturn]] void errore(const QString &cosa) const;

    QString nome;
    std::function<bool()> inTempo;
    QPrinter stampante;
    QPainter pittore;
};
