#include "NativeFiles.h"
#include "PictureCatalogue.h"
#include "ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

namespace {

// Creates the file, which holds its own path.
void touch(const QByteArray &path)
{
    QFile file(fromNativePath(path));
    if (path.contains('\xff')) {
        // Qt cannot spell this name; write it through the C library instead.
        FILE *raw = std::fopen(path.constData(), "wb");
        QVERIFY(raw != nullptr);
        std::fclose(raw);
        return;
    }
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(path), path.size());
}

// The file or folder `resolved` names is the one `expected` names: a file
// holds its own path as created (see touch), a folder the same entries. On a
// file system that ignores case (Windows) a name spelt in another case
// already names that file, and is kept as written.
void sameFile(const QString &resolved, const QString &expected)
{
    QVERIFY2(QFileInfo::exists(resolved), qPrintable(resolved));
    QCOMPARE(QFileInfo(resolved).isDir(), QFileInfo(expected).isDir());
    if (QFileInfo(expected).isDir()) {
        QCOMPARE(QDir(resolved).entryList(), QDir(expected).entryList());
        return;
    }
    QFile a(resolved);
    QFile b(expected);
    QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    QCOMPARE(a.readAll(), b.readAll());
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
    const QByteArray folder = nativePath(dir.path() + QStringLiteral("/Disegni à colori ζ"));
    QVERIFY(QDir().mkpath(fromNativePath(folder)));
    for (const char *name : {"b10.gif", "b2.GIF", "a.Gif", "nota.png", ".nascosto.gif",
                             "spazio e accenti è.gif", "zebra ζ.gif"})
        touch(folder + '/' + name);
    QVERIFY(QDir(fromNativePath(folder)).mkdir("cartella.gif"));
    QStringList expected{"a.Gif", "b2.GIF", "b10.gif", "spazio e accenti è.gif", "zebra ζ.gif"};
#ifndef Q_OS_WIN
    // A Linux name is bytes, and need not be UTF-8.
    touch(folder + "/strano\xff.gif");
    expected.insert(4, "strano\u00ff.gif");
#endif

    const std::vector<CatalogueEntry> entries = listPictures(folder);
    QCOMPARE(names(entries), expected);
    // Every name opens again, whatever it displays as and whatever the
    // system's 8-bit code page can spell ("à" and "ζ" share none). The odd
    // Linux name keeps its exact bytes, which Qt cannot spell.
    for (const CatalogueEntry &entry : entries) {
        const QByteArray path = folder + '/' + entry.nativeName;
        if (entry.displayName.startsWith(QStringLiteral("strano"))) {
            QCOMPARE(entry.nativeName, QByteArray("strano\xff.gif"));
            continue;
        }
        QVERIFY2(QFile(fromNativePath(path)).open(QIODevice::ReadOnly), path.constData());
    }
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
    touch(nativePath(dir.path() + "/Gif/Cromello.GIF"));
    touch(nativePath(dir.path() + "/Suoni con spazio/Più/colori.wav"));

    sameFile(resolveResource(dir.path(), "\\gif\\cromello.gif"), dir.path() + "/Gif/Cromello.GIF");
    sameFile(resolveResource(dir.path(), "\\Gif"), dir.path() + "/Gif");
    sameFile(resolveResource(dir.path() + "/", "\\GIF"), dir.path() + "/Gif");
    sameFile(resolveResource(dir.path(), "\\SUONI CON SPAZIO\\più\\Colori.WAV"),
             dir.path() + "/Suoni con spazio/Più/colori.wav");
    sameFile(resolveResource(dir.path(), "/Gif/cromello.gif"), dir.path() + "/Gif/Cromello.GIF");

    // An exact match wins over one that differs only in case.
    touch(nativePath(dir.path() + "/Gif/cromello.gif"));
    sameFile(resolveResource(dir.path(), "\\gif\\cromello.gif"), dir.path() + "/Gif/cromello.gif");
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
