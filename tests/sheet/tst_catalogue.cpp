#include "PictureCatalogue.h"
#include "ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

namespace {

void touch(const QByteArray &path)
{
    QFile file(QFile::decodeName(path));
    if (path.contains('\xff')) {
        // Qt cannot spell this name; write it through the C library instead.
        FILE *raw = std::fopen(path.constData(), "wb");
        QVERIFY(raw != nullptr);
        std::fclose(raw);
        return;
    }
    QVERIFY(file.open(QIODevice::WriteOnly));
}

QStringList names(const std::vector<CatalogueEntry> &entries)
{
    QStringList shown;
    for (const CatalogueEntry &entry : entries)
        shown << entry.displayName;
    return shown;
}

} // namespace

class TestCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void patternIgnoresCase();
    void naturalOrder();
    void namesThatAreNotUtf8StillShow();
    void listsOnlyOrdinaryGifFilesInOrder();
    void listOfMissingFolderIsEmpty();
    void resolvesResourcesWithoutRegardToCase();
    void resolvesMissingComponentsAsWritten();
};

void TestCatalogue::patternIgnoresCase()
{
    for (const char *name : {"a.gif", "a.GIF", "a.Gif", "ganzo.gIf", "x y.gif", "è.gif"})
        QVERIFY2(matchesPicturePattern(name), name);
    for (const char *name : {"a.png", "agif", "a.gif.png", "a.gi", ".gif", "gif", ""})
        QVERIFY2(!matchesPicturePattern(name), name);
}

void TestCatalogue::naturalOrder()
{
    QStringList files{"disegno10.gif", "Disegno2.gif", "disegno1.gif",  "albero.gif",
                      "Zebra.gif",     "cane.gif",     "disegno02a.gif"};
    std::sort(files.begin(), files.end(),
              [](const QString &a, const QString &b) { return naturalCompare(a, b) < 0; });
    const QStringList expected{"albero.gif",     "cane.gif",      "disegno1.gif", "Disegno2.gif",
                               "disegno02a.gif", "disegno10.gif", "Zebra.gif"};
    QCOMPARE(files, expected);

    QVERIFY(naturalCompare("a", "a") == 0);
    QVERIFY(naturalCompare("a", "ab") < 0);
    QVERIFY(naturalCompare("9", "10") < 0);
    QVERIFY(naturalCompare("x99999999999999999999", "x100000000000000000000") < 0);
    QVERIFY(naturalCompare("A.gif", "a.gif") != 0); // ties broken, order total
}

void TestCatalogue::namesThatAreNotUtf8StillShow()
{
    QCOMPARE(displayName("gatto.gif"), QStringLiteral("gatto.gif"));
    QCOMPARE(displayName("città.gif"), QStringLiteral("città.gif"));
    // "perché" written in Windows-1252, as an old disk might carry it.
    QCOMPARE(displayName("perch\xe9.gif"), QStringLiteral("perché.gif"));
    QCOMPARE(displayName("\x80uro.gif"), QStringLiteral("€uro.gif"));
}

void TestCatalogue::listsOnlyOrdinaryGifFilesInOrder()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray folder = QFile::encodeName(dir.path());
    for (const char *name : {"b10.gif", "b2.GIF", "a.Gif", "nota.png", ".nascosto.gif",
                             "spazio e accenti è.gif", "strano\xff.gif"})
        touch(folder + '/' + name);
    QVERIFY(QDir(dir.path()).mkdir("cartella.gif"));

    const std::vector<CatalogueEntry> entries = listPictures(folder);
    const QStringList expected{"a.Gif", "b2.GIF", "b10.gif", "spazio e accenti è.gif",
                               "strano\u00ff.gif"};
    QCOMPARE(names(entries), expected);
    // The odd name keeps its exact bytes for opening.
    QCOMPARE(entries.back().nativeName, QByteArray("strano\xff.gif"));
    QVERIFY(QFile::exists(QFile::decodeName(folder + '/' + entries.front().nativeName)));
}

void TestCatalogue::listOfMissingFolderIsEmpty()
{
    QVERIFY(listPictures("/nonexistent/tingolamo/Gif").empty());
    QVERIFY(listPictures("").empty());
}

void TestCatalogue::resolvesResourcesWithoutRegardToCase()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkpath("Gif"));
    QVERIFY(QDir(dir.path()).mkpath("Suoni con spazio/Più"));
    touch(QFile::encodeName(dir.path() + "/Gif/Cromello.GIF"));
    touch(QFile::encodeName(dir.path() + "/Suoni con spazio/Più/colori.wav"));

    QCOMPARE(resolveResource(dir.path(), "\\gif\\cromello.gif"), dir.path() + "/Gif/Cromello.GIF");
    QCOMPARE(resolveResource(dir.path(), "\\Gif"), dir.path() + "/Gif");
    QCOMPARE(resolveResource(dir.path() + "/", "\\GIF"), dir.path() + "/Gif");
    QCOMPARE(resolveResource(dir.path(), "\\SUONI CON SPAZIO\\più\\Colori.WAV"),
             dir.path() + "/Suoni con spazio/Più/colori.wav");
    QCOMPARE(resolveResource(dir.path(), "/Gif/cromello.gif"), dir.path() + "/Gif/Cromello.GIF");

    // An exact match wins over one that differs only in case.
    touch(QFile::encodeName(dir.path() + "/Gif/cromello.gif"));
    QCOMPARE(resolveResource(dir.path(), "\\gif\\cromello.gif"), dir.path() + "/Gif/cromello.gif");
}

void TestCatalogue::resolvesMissingComponentsAsWritten()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QCOMPARE(resolveResource(dir.path(), "\\Suoni\\riempi.wav"), dir.path() + "/Suoni/riempi.wav");
    QCOMPARE(resolveResource("/nonexistent", "\\gif\\x.gif"),
             QStringLiteral("/nonexistent/gif/x.gif"));
    QVERIFY(!QFile::exists(resolveResource(dir.path(), "\\Suoni\\riempi.wav")));
}

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
