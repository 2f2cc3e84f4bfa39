#include "StampanteRegistratrice.h"

#include "ErroreStampa.h"
#include "Figura.h"
#include "StampaFigura.h"
#include "UnitaScala.h"

#include <QTest>

namespace {

constexpr qint16 Twip = UnitaScala::Twip;
constexpr qint16 Pixel600 = UnitaScala::Pixel; // the recording printer's pixel is 1/600 inch
constexpr qint16 Himetric = UnitaScala::Himetric;

Figura figura(qint32 larghezza, qint32 altezza)
{
    return Figura{QImage(4, 4, QImage::Format_RGB32), larghezza, altezza};
}

bool circa(double a, double b)
{
    return qAbs(a - b) <= 1e-5 * qMax(qAbs(a), qAbs(b)) + 1e-3;
}

const QStringList letturaPagina = {
    "Orientation", "ScaleWidth", "ScaleMode", "ScaleX", "ScaleHeight", "ScaleMode", "ScaleY",
};

} // namespace

class TestStampaFigura : public QObject
{
    Q_OBJECT

private slots:
    void himetricDaPixelArrotonda();
    void convertiLunghezzaTraUnita();
    void esempi_data();
    void esempi();
    void ordineDelleChiamate_data();
    void ordineDelleChiamate();
    void altezzaZeroFermaLaStampa_data();
    void altezzaZeroFermaLaStampa();
    void guastoDellaStampanteFermaLaStampa_data();
    void guastoDellaStampanteFermaLaStampa();
};

void TestStampaFigura::himetricDaPixelArrotonda()
{
    QCOMPARE(himetricDaPixel(0), 0);
    QCOMPARE(himetricDaPixel(96), 2540);
    QCOMPARE(himetricDaPixel(1), 26); // 26.458
    QCOMPARE(himetricDaPixel(2), 53); // 52.917
    QCOMPARE(himetricDaPixel(3), 79); // 79.375
    QCOMPARE(himetricDaPixel(-2), -53);
    QCOMPARE(himetricDaPixel(1000000000), 2147483647); // saturates, no wrap-around

    const Figura daImmagine = figuraDaImmagine(QImage(400, 300, QImage::Format_Indexed8));
    QCOMPARE(daImmagine.Width, 10583); // 10,583.33
    QCOMPARE(daImmagine.Height, 7938); // 7,937.5 rounds up
    QCOMPARE(daImmagine.immagine.size(), QSize(400, 300));
}

void TestStampaFigura::convertiLunghezzaTraUnita()
{
    using UnitaScala::Centimetro, UnitaScala::Millimetro, UnitaScala::Pixel, UnitaScala::Pollice,
        UnitaScala::Punto;
    QCOMPARE(convertiLunghezza(1440, Twip, Himetric, 300), 2540.0f);
    QCOMPARE(convertiLunghezza(2540, Himetric, Pixel, 1200), 1200.0f);
    QCOMPARE(convertiLunghezza(1200, Pixel, Punto, 1200), 72.0f);
    QCOMPARE(convertiLunghezza(3, Centimetro, Millimetro, 96), 30.0f);
    QCOMPARE(convertiLunghezza(2, Pollice, Twip, 96), 2880.0f);
    QVERIFY_THROWS_EXCEPTION(ErroreStampa, convertiLunghezza(1, 0, Himetric, 96));
    QVERIFY_THROWS_EXCEPTION(ErroreStampa, convertiLunghezza(1, Himetric, 4, 96));
}

// The worked examples: picture and printable area in HIMETRIC, with the
// printer working in HIMETRIC, in twips or in pixels at 600 dots per inch.
void TestStampaFigura::esempi_data()
{
    QTest::addColumn<qint16>("unita");
    QTest::addColumn<int>("larghezza");
    QTest::addColumn<int>("altezza");
    QTest::addColumn<double>("areaL");
    QTest::addColumn<double>("areaA");
    QTest::addColumn<int>("orientamento");
    QTest::addColumn<bool>("tuttaLarghezza");
    QTest::addColumn<double>("stampataL");
    QTest::addColumn<double>("stampataA");

    const struct
    {
        const char *nome;
        qint16 unita;
    } unita[] = {{"himetric", Himetric}, {"twip", Twip}, {"pixel", Pixel600}};
    for (const auto &u : unita) {
        QTest::addRow("orizzontale, tutta altezza, %s", u.nome)
            << u.unita << 10000 << 8000 << 27000.0 << 19000.0 << 2 << false << 23750.0 << 19000.0;
        QTest::addRow("verticale, tutta larghezza, %s", u.nome)
            << u.unita << 9000 << 10000 << 19000.0 << 27000.0 << 1 << true << 19000.0
            << 19000.0 / 0.9;
        QTest::addRow("quadrato in verticale, %s", u.nome)
            << u.unita << 8000 << 8000 << 19000.0 << 27000.0 << 1 << true << 19000.0 << 19000.0;
        QTest::addRow("stesso rapporto della pagina, %s", u.nome)
            << u.unita << 19000 << 27000 << 19000.0 << 27000.0 << 1 << true << 19000.0 << 27000.0;
    }
}

void TestStampaFigura::esempi()
{
    QFETCH(qint16, unita);
    QFETCH(int, larghezza);
    QFETCH(int, altezza);
    QFETCH(double, areaL);
    QFETCH(double, areaA);
    QFETCH(int, orientamento);
    QFETCH(bool, tuttaLarghezza);
    QFETCH(double, stampataL);
    QFETCH(double, stampataA);

    StampanteRegistratrice stampante(areaL, areaA, unita);
    StampaFigura(figura(larghezza, altezza), stampante);

    const auto chiamate = stampante.chiamate();
    QCOMPARE(chiamate.first().membro, QStringLiteral("Orientation"));
    QCOMPARE(chiamate.first().argomenti, QList<double>{double(orientamento)});
    QVERIFY(!stampante.membriChiamati().contains("EndDoc"));

    // Ratios that only just tie may fall either way once the area has been
    // through another unit: the case is checked where the numbers are exact.
    if (unita == Himetric) {
        const QString primaConversione = chiamate.at(8).membro;
        QCOMPARE(primaConversione, tuttaLarghezza ? QStringLiteral("ScaleX") : "ScaleY");
    }

    const StampanteRegistratrice::Chiamata disegno = stampante.disegno();
    QCOMPARE(disegno.membro, QStringLiteral("PaintPicture"));
    QCOMPARE(disegno.argomenti.at(0), 0.0);
    QCOMPARE(disegno.argomenti.at(1), 0.0);
    const double l = stampante.inHimetric(disegno.argomenti.at(2));
    const double a = stampante.inHimetric(disegno.argomenti.at(3));
    QVERIFY2(circa(l, stampataL), qPrintable(QString::number(l)));
    QVERIFY2(circa(a, stampataA), qPrintable(QString::number(a)));
    // Never past the printable area.
    QVERIFY(l <= areaL * (1 + 1e-6) && a <= areaA * (1 + 1e-6));
}

void TestStampaFigura::ordineDelleChiamate_data()
{
    QTest::addColumn<int>("larghezza");
    QTest::addColumn<int>("altezza");
    QTest::addColumn<QStringList>("adattamento");

    QTest::newRow("tutta larghezza")
        << 9000 << 10000 << QStringList{"ScaleMode", "ScaleX", "ScaleMode", "ScaleY"};
    QTest::newRow("tutta altezza")
        << 10000 << 8000 << QStringList{"ScaleMode", "ScaleY", "ScaleMode", "ScaleX"};
}

// One page through stampaDocumento, as the print button makes it.
void TestStampaFigura::ordineDelleChiamate()
{
    QFETCH(int, larghezza);
    QFETCH(int, altezza);
    QFETCH(QStringList, adattamento);

    const bool verticale = altezza >= larghezza;
    StampanteRegistratrice stampante(verticale ? 19000 : 27000, verticale ? 27000 : 19000, Twip);
    QCOMPARE(stampaDocumento(figura(larghezza, altezza), stampante), QString());
    const QStringList attese = letturaPagina + adattamento + QStringList{"PaintPicture", "EndDoc"};
    QCOMPARE(stampante.membriChiamati(), attese);

    // Page size asked in HIMETRIC from the printer's own unit, the printed
    // size asked back in that unit.
    const auto chiamate = stampante.chiamate();
    for (int i : {3, 6})
        QCOMPARE(chiamate.at(i).argomenti.mid(1), (QList<double>{Twip, Himetric}));
    for (int i : {8, 10})
        QCOMPARE(chiamate.at(i).argomenti.mid(1), (QList<double>{Himetric, Twip}));
}

void TestStampaFigura::altezzaZeroFermaLaStampa_data()
{
    QTest::addColumn<int>("larghezza");
    QTest::addColumn<int>("altezza");
    QTest::addColumn<double>("areaA");
    QTest::addColumn<QStringList>("fatte");

    QTest::newRow("disegno alto zero") << 5000 << 0 << 27000.0 << QStringList{"Orientation"};
    QTest::newRow("disegno vuoto") << 0 << 0 << 27000.0 << QStringList{"Orientation"};
    QTest::newRow("area alta zero") << 9000 << 10000 << 0.0 << letturaPagina;
}

void TestStampaFigura::altezzaZeroFermaLaStampa()
{
    QFETCH(int, larghezza);
    QFETCH(int, altezza);
    QFETCH(double, areaA);
    QFETCH(QStringList, fatte);

    StampanteRegistratrice stampante(19000, areaA, Himetric);
    const QString messaggio = stampaDocumento(figura(larghezza, altezza), stampante);
    QVERIFY(!messaggio.isEmpty());
    QCOMPARE(stampante.membriChiamati(), fatte);
}

void TestStampaFigura::guastoDellaStampanteFermaLaStampa_data()
{
    QTest::addColumn<QString>("membro");
    for (const char *membro : {"Orientation", "ScaleWidth", "ScaleMode", "ScaleX", "ScaleHeight",
                               "ScaleY", "PaintPicture", "EndDoc"})
        QTest::newRow(membro) << QString::fromLatin1(membro);
}

// A failure on any member ends the print there and its message comes back.
void TestStampaFigura::guastoDellaStampanteFermaLaStampa()
{
    QFETCH(QString, membro);

    StampanteRegistratrice stampante(19000, 27000, Himetric);
    stampante.falliscaSu(membro);
    QCOMPARE(stampaDocumento(figura(9000, 10000), stampante), "guasto su " + membro);

    const QStringList fatte = stampante.membriChiamati();
    QCOMPARE(fatte.last(), membro);
    QCOMPARE(fatte.count(membro), 1);
}

QTEST_APPLESS_MAIN(TestStampaFigura)
#include "tst_stampafigura.moc"
