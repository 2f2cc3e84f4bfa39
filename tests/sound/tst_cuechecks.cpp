#include "CueChecks.h"
#include "WavLength.h"
#include "WavWriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestCueChecks : public QObject
{
    Q_OBJECT

private slots:
    void nameTest_data();
    void nameTest();
    void fileTest_data();
    void fileTest();
    void soundLength_data();
    void soundLength();

private:
    static void touch(const QString &path, const QByteArray &contents = "RIFF");
};

void TestCueChecks::nameTest_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("passes");
    QTest::newRow("lower case") << "/p/Suoni/colori.wav" << true;
    QTest::newRow("upper case") << "/p/Suoni/COLORI.WAV" << true;
    QTest::newRow("mixed case") << "/p/Suoni/colori.wAv" << true;
    QTest::newRow("no dot") << "/p/Suoni/colorixwav" << true;
    QTest::newRow("exactly wav") << "wav" << true;
    QTest::newRow("wave") << "/p/Suoni/colori.wave" << false;
    QTest::newRow("mp3") << "/p/Suoni/colori.mp3" << false;
    QTest::newRow("trailing space") << "/p/Suoni/colori.wav " << false;
    QTest::newRow("two characters") << "av" << false;
    QTest::newRow("one character") << "v" << false;
    QTest::newRow("empty") << "" << false;
}

void TestCueChecks::nameTest()
{
    QFETCH(QString, path);
    QFETCH(bool, passes);
    QCOMPARE(endsInWav(path), passes);
}

void TestCueChecks::touch(const QString &path, const QByteArray &contents)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(contents), contents.size());
}

void TestCueChecks::fileTest_data()
{
    QTest::addColumn<QString>("relative");
    QTest::addColumn<bool>("found");
    QTest::newRow("ordinary file") << "Suoni/colori.wav" << true;
    QTest::newRow("empty ordinary file") << "Suoni/vuoto.wav" << true;
    QTest::newRow("link to a file") << "Suoni/link.wav" << true;
    QTest::newRow("folder named like a cue") << "Suoni/x.wav" << false;
    QTest::newRow("hidden file") << "Suoni/.riempi.wav" << false;
#ifndef Q_OS_WIN
    // On Windows a link Qt makes is a shortcut file, an ordinary file.
    QTest::newRow("dangling link") << "Suoni/rotto.wav" << false;
#endif
    QTest::newRow("missing file") << "Suoni/disegno.wav" << false;
    QTest::newRow("missing folder") << "Altro/colori.wav" << false;
    QTest::newRow("trailing slash on a file") << "Suoni/colori.wav/" << false;
    QTest::newRow("embedded NUL") << QStringLiteral("Suoni/colori.wav") + QChar(0) + "x" << false;
}

void TestCueChecks::fileTest()
{
    QFETCH(QString, relative);
    QFETCH(bool, found);
    const QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QDir root(dir.path());
    QVERIFY(root.mkpath(QStringLiteral("Suoni/x.wav")));
    touch(root.filePath(QStringLiteral("Suoni/colori.wav")));
    touch(root.filePath(QStringLiteral("Suoni/.riempi.wav")));
    touch(root.filePath(QStringLiteral("Suoni/vuoto.wav")), {});
    QVERIFY(QFile::link(root.filePath(QStringLiteral("Suoni/colori.wav")),
                        root.filePath(QStringLiteral("Suoni/link.wav"))));
    QVERIFY(QFile::link(root.filePath(QStringLiteral("Suoni/niente.wav")),
                        root.filePath(QStringLiteral("Suoni/rotto.wav"))));

    QCOMPARE(isOrdinaryFile(root.path() + QLatin1Char('/') + relative), found);
}

// The length the Windows player bounds a cue by, read from the header and
// the data actually there, never from a figure the header merely claims.
void TestCueChecks::soundLength_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<qint64>("microseconds"); // -1: no length, nothing is played

    const QByteArray half = toneSamples(22050, 2); // 0.5 s at 44,100 Hz
    QTest::newRow("truthful") << wavFile({}, half) << qint64(500'000);
    QTest::newRow("declares more than is there")
        << wavFile({.declaredDataBytes = 10'000'000}, half) << qint64(500'000);
    QTest::newRow("declares less than is there")
        << wavFile({.declaredDataBytes = 44100}, half) << qint64(250'000);
    QTest::newRow("32-bit float, mono")
        << wavFile({3, 1, 8000, 32, std::nullopt}, QByteArray(16000, '\0')) << qint64(500'000);
    QByteArray listFirst = wavFile({}, half);
    listFirst.insert(12, QByteArray("LIST\x03\0\0\0abc\0", 12)); // odd size, padded
    QTest::newRow("a chunk before the format") << listFirst << qint64(500'000);
    QTest::newRow("no data") << wavFile({}, {}) << qint64(-1);
    QTest::newRow("nine channels") << wavFile({1, 9, 44100, 16, std::nullopt}, half) << qint64(-1);
    QTest::newRow("rate of zero") << wavFile({1, 2, 0, 16, std::nullopt}, half) << qint64(-1);
    QTest::newRow("not RIFF") << QByteArray("RIFX") + wavFile({}, half).mid(4) << qint64(-1);
    QTest::newRow("header cut short") << wavFile({}, half).left(30) << qint64(-1);
}

void TestCueChecks::soundLength()
{
    QFETCH(QByteArray, file);
    QFETCH(qint64, microseconds);
    const std::optional<std::chrono::microseconds> length = wavLength(file, file.size());
    QCOMPARE(length ? length->count() : -1, microseconds);
}

QTEST_APPLESS_MAIN(TestCueChecks)
#include "tst_cuechecks.moc"
