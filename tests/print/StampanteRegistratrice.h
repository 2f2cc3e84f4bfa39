#pragma once

#include "Stampante.h"

#include <QList>
#include <QString>

// A printer that writes down every call made to it, with its arguments, and
// answers with a printable area given in HIMETRIC but expressed in a unit of
// its choice. It can be told to fail on one member.
class StampanteRegistratrice final : public Stampante
{
public:
    struct Chiamata
    {
        QString membro;
        QList<double> argomenti;
    };

    StampanteRegistratrice(double areaLarghezzaHimetric, double areaAltezzaHimetric, qint16 unita);

    void falliscaSu(const QString &membro) { membroGuasto = membro; }

    const QList<Chiamata> &chiamate() const { return registro; }
    QStringList membriChiamati() const;
    // The last PaintPicture, or an empty call when there was none.
    Chiamata disegno() const;

    // Lengths in this printer's unit converted to HIMETRIC.
    double inHimetric(double lunghezza) const;

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
    void registra(const QString &membro, const QList<double> &argomenti = {});
    float converti(float lunghezza, qint16 da, qint16 a) const;

    double areaLarghezza;
    double areaAltezza;
    qint16 unita;
    QString membroGuasto;
    QList<Chiamata> registro;
};
