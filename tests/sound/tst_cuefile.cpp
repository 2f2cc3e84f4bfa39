#include "CueFile.h"
#include "WavWriter.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>

class TestCueFile : public QObject
{
    Q_OBJECT

private slots:
    void decodesBitExactInBoundedChunks();
    void keepsSampleFormat_data();
    void keepsSampleFormat();
    void lyingLengthReadsOnlyWhatIsThere();
    void refusesUnplayable_data();
    void refusesUnplayable();

private:
    std::string writeCue(const QByteArray &bytes);
    static QByteArray readAll(CueFile &cue);

    QTemporaryDir m_dir;
    int m_written = 0;
};

std::string TestCueFile::writeCue(const QByteArray &bytes)
{
    const QString path = m_dir.filePath(QStringLiteral("cue%1.wav").arg(++m_written));
    if (!writeBytes(path, bytes))
        qFatal("cannot write %s", qPrintable(path));
    return QFile::encodeName(path).toStdString();
}

QByteArray TestCueFile::readAll(CueFile &cue)
{
    QByteArray all;
    std::vector<std::byte> chunk;
    for (cue.readChunk(chunk); !chunk.empty(); cue.readChunk(chunk)) {
        if (chunk.size() > CueFile::framesPerChunk * cue.bytesPerFrame())
            qFatal("chunk of %zu bytes is larger than allowed", chunk.size());
        all.append(reinterpret_cast<const char *>(chunk.data()), qsizetype(chunk.size()));
    }
    return all;
}

void TestCueFile::decodesBitExactInBoundedChunks()
{
    const QByteArray samples = toneSamples(10000, 2);
    CueFile cue(writeCue(wavFile({}, samples)));
    QVERIFY(cue.isOpen());
    QCOMPARE(cue.channels(), 2);
    QCOMPARE(cue.rate(), 44100);
    QCOMPARE(cue.sampleKind(), CueFile::SampleKind::Int16);
    QCOMPARE(readAll(cue), samples); // the machine here is little-endian, like the file
}

void TestCueFile::keepsSampleFormat_data()
{
    QTest::addColumn<int>("formatTag");
    QTest::addColumn<int>("bits");
    QTest::addColumn<QByteArray>("fileSample");
    QTest::addColumn<CueFile::SampleKind>("kind");
    QTest::addColumn<QByteArray>("decoded");

    const auto bytesOf = [](auto value) {
        return QByteArray(reinterpret_cast<const char *>(&value), sizeof(value));
    };
    QTest::newRow("8-bit") << 1 << 8 << QByteArray("\x81", 1) << CueFile::SampleKind::Int16
                           << bytesOf(std::int16_t(0x0100));
    QTest::newRow("24-bit") << 1 << 24 << QByteArray("\x56\x34\x12", 3)
                            << CueFile::SampleKind::Int32 << bytesOf(std::int32_t(0x12345600));
    QTest::newRow("32-bit") << 1 << 32 << bytesOf(std::int32_t(-0x12345678))
                            << CueFile::SampleKind::Int32 << bytesOf(std::int32_t(-0x12345678));
    QTest::newRow("float") << 3 << 32 << bytesOf(0.3f) << CueFile::SampleKind::Float32
                           << bytesOf(0.3f);
}

void TestCueFile::keepsSampleFormat()
{
    QFETCH(int, formatTag);
    QFETCH(int, bits);
    QFETCH(QByteArray, fileSample);
    QFETCH(CueFile::SampleKind, kind);
    QFETCH(QByteArray, decoded);

    WavShape shape;
    shape.formatTag = std::uint16_t(formatTag);
    shape.bitsPerSample = std::uint16_t(bits);
    shape.channels = 1;
    CueFile cue(writeCue(wavFile(shape, fileSample.repeated(3))));
    QVERIFY(cue.isOpen());
    QCOMPARE(cue.sampleKind(), kind);
    QCOMPARE(readAll(cue), decoded.repeated(3));
}

void TestCueFile::lyingLengthReadsOnlyWhatIsThere()
{
    WavShape shape;
    shape.declaredDataBytes = 0x7ffffff0;
    const QByteArray samples = toneSamples(1000, 2);
    CueFile cue(writeCue(wavFile(shape, samples)));
    QVERIFY(cue.isOpen());
    QCOMPARE(readAll(cue), samples);
}

void TestCueFile::refusesUnplayable_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray tone = toneSamples(2000, 2);
    const QByteArray good = wavFile({}, tone);
    const auto shaped = [&](auto change, const QByteArray &data) {
        WavShape shape;
        change(shape);
        return wavFile(shape, data);
    };

    QTest::newRow("empty") << QByteArray();
    QTest::newRow("header cut short") << good.left(30);
    QTest::newRow("text") << QByteArray("Questo non è un suono.\n").repeated(200);
    QTest::newRow("huge length, no data")
        << shaped([](WavShape &s) { s.declaredDataBytes = 0xfffffff0; }, {});
    QTest::newRow("64 channels") << shaped([](WavShape &s) { s.channels = 64; }, tone);
    QTest::newRow("no channels") << shaped([](WavShape &s) { s.channels = 0; }, tone);
    QTest::newRow("4 MHz") << shaped([](WavShape &s) { s.rate = 4'000'000; }, tone);
    QTest::newRow("100 Hz") << shaped([](WavShape &s) { s.rate = 100; }, tone);
    // A Sun audio file: decodable, but no WAV file.
    QTest::newRow("au container") << QByteArray(".snd\0\0\0\x18\xff\xff\xff\xff\0\0\0\x03"
                                                "\0\0\xac\x44\0\0\0\x02",
                                                24) +
                                         tone;
}

void TestCueFile::refusesUnplayable()
{
    QFETCH(QByteArray, bytes);
    const CueFile cue(writeCue(bytes));
    QVERIFY(!cue.isOpen());
}

QTEST_APPLESS_MAIN(TestCueFile)
#include "tst_cuefile.moc"
