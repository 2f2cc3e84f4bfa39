#include "Palette.h"

#include <QTest>

#include <set>
#include <stdexcept>

class TestPalette : public QObject
{
    Q_OBJECT

private slots:
    void gridOfEachSize_data();
    void gridOfEachSize();
    void swatchesRunDownTheColumns();
    void noGridForOtherSizes();
    void tableHoldsTheColoursAndRefusesOtherSlots();
    void smallerPalettesStartTheLarger();
};

void TestPalette::gridOfEachSize_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<QList<int>>("lefts");
    QTest::addColumn<QList<int>>("tops");
    QTest::newRow("4") << 4 << 1 << 4 << 100 << 64 << QList<int>{25}
                       << QList<int>{150, 216, 282, 348};
    QTest::newRow("8") << 8 << 2 << 4 << 50 << 64 << QList<int>{25, 77}
                       << QList<int>{150, 216, 282, 348};
    QTest::newRow("16") << 16 << 2 << 8 << 50 << 32 << QList<int>{25, 77}
                        << QList<int>{150, 184, 218, 252, 286, 320, 354, 388};
    QTest::newRow("32") << 32 << 4 << 8 << 25 << 32 << QList<int>{25, 52, 79, 106}
                        << QList<int>{150, 184, 218, 252, 286, 320, 354, 388};
}

void TestPalette::gridOfEachSize()
{
    QFETCH(int, size);
    QFETCH(int, columns);
    QFETCH(int, rows);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(QList<int>, lefts);
    QFETCH(QList<int>, tops);

    const auto grid = swatchGrid(size);
    QVERIFY(grid.has_value());
    QCOMPARE(grid->columns, columns);
    QCOMPARE(grid->rows, rows);
    QCOMPARE(grid->columns * grid->rows, size);
    QCOMPARE(grid->width, width);
    QCOMPARE(grid->height, height);
    for (int column = 0; column < columns; ++column)
        QCOMPARE(grid->left(column), lefts.at(column));
    for (int row = 0; row < rows; ++row)
        QCOMPARE(grid->top(row), tops.at(row));
}

void TestPalette::swatchesRunDownTheColumns()
{
    const SwatchGrid grid = swatchGrid(32).value();
    const SwatchPlace first = grid.place(1);
    QCOMPARE(first.left, 25);
    QCOMPARE(first.top, 150);
    const SwatchPlace ninth = grid.place(9); // top of the second column
    QCOMPARE(ninth.left, 52);
    QCOMPARE(ninth.top, 150);
    const SwatchPlace last = grid.place(32);
    QCOMPARE(last.left, 106);
    QCOMPARE(last.top, 388);
    QCOMPARE(last.width, 25);
    QCOMPARE(last.height, 32);

    // No two swatches of any size overlap, and all stay left of the drawing box.
    for (const int size : {4, 8, 16, 32}) {
        const SwatchGrid g = swatchGrid(size).value();
        std::set<std::pair<int, int>> corners;
        for (int k = 1; k <= size; ++k) {
            const SwatchPlace p = g.place(k);
            QVERIFY(corners.insert({p.left, p.top}).second);
            QVERIFY(p.left + p.width < 145);
        }
    }
}

void TestPalette::noGridForOtherSizes()
{
    for (const int size : {0, 1, 3, 5, 31, 33, 64, -4})
        QVERIFY2(!swatchGrid(size).has_value(), qPrintable(QString::number(size)));
}

void TestPalette::tableHoldsTheColoursAndRefusesOtherSlots()
{
    ColourTable table;
    table.fill();
    QCOMPARE(table.at(0), Colore(0x00FF0000)); // blue
    QCOMPARE(table.at(1), Colore(0x000000FF)); // red
    QCOMPARE(table.at(2), Colore(0x0000FF00)); // green
    QCOMPARE(table.at(3), Colore(0x0000FFFF)); // yellow
    QCOMPARE(table.at(8), Colore(0x00000000)); // black
    QCOMPARE(table.at(15), Colore(0x00C0C0C0));
    QCOMPARE(table.at(18), Colore(0x00C0C000));
    QCOMPARE(table.at(25), Colore(0x00C0C000));
    QCOMPARE(table.at(19), Colore(0x00FFD427));
    QCOMPARE(table.at(31), Colore(0x00E4DCDC));
    QCOMPARE(table.at(32), Colore(0)); // never set

    std::set<Colore> distinct(ColoriTavolozza.begin(), ColoriTavolozza.end());
    QCOMPARE(distinct.size(), std::size_t(31));
    for (const Colore colour : ColoriTavolozza)
        QCOMPARE(colour & 0xFF000000u, 0u);

    QVERIFY_THROWS_EXCEPTION(std::out_of_range, table.at(-1));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, table.at(33));
}

void TestPalette::smallerPalettesStartTheLarger()
{
    // Swatch k shows slot k - 1 at every size: the 8-colour palette's right
    // column is pale lavender, magenta, cyan, white.
    QCOMPARE(ColoriTavolozza[4], Colore(0x00F6D4D4));
    QCOMPARE(ColoriTavolozza[5], Colore(0x00FF00FF));
    QCOMPARE(ColoriTavolozza[6], Colore(0x00FFFF00));
    QCOMPARE(ColoriTavolozza[7], Colore(0x00FFFFFF));
}

QTEST_APPLESS_MAIN(TestPalette)
#include "tst_palette.moc"
