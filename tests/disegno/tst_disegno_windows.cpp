#include "DrawingCheck.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// Runs the Windows build of tingolamo-disegno as a parent runs it from the
// command line, on pictures in a folder whose name the system's code page
// cannot spell (ł is in no Western one), and checks what it writes into a
// picture folder of its own with the picture folder's rules.
class TestDisegnoWindows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void turnsAPictureOfAnAccentedFolderIntoAPage();
    void refusesAnSvgDrawingAndWritesNothing();

private:
    QTemporaryDir root;
    QString pictures;
    QString gifFolder;
};

namespace {

const QString program = QStringLiteral(TINGOLAMO_DISEGNO);

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

Run run(const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    Run result;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

// A frame cut in two by a line, anti-aliased in dark grey on white: three
// areas, the paper round the frame and the two halves.
QImage framedPicture()
{
    QImage image(710, 1120, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(70, 70, 70), 3.3));
    painter.drawRect(QRectF(40.5, 40.5, 630, 1040));
    painter.drawLine(QPointF(40, 560.5), QPointF(670, 560.5));
    return image;
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

void TestDisegnoWindows::initTestCase()
{
    QVERIFY(root.isValid());
    pictures = root.filePath(QStringLiteral("Disegni à colori"));
    gifFolder = root.filePath(QStringLiteral("Gif"));
    QVERIFY(QDir().mkpath(pictures) && QDir().mkpath(gifFolder));
}

void TestDisegnoWindows::turnsAPictureOfAnAccentedFolderIntoAPage()
{
    const QString picture = QDir(pictures).filePath(QStringLiteral("Gattò ł.png"));
    QVERIFY(framedPicture().save(picture));
    QElapsedTimer timer;
    timer.start();
    const Run result =
        run({QStringLiteral("--cartella"), gifFolder, QDir::toNativeSeparators(picture)});
    qInfo("converted in %lld ms", timer.elapsed());
    QVERIFY2(result.exitCode == 0, qPrintable(result.err));
    QVERIFY2(result.out.contains(QStringLiteral("scritto")), qPrintable(result.out));

    const QString drawing = QStringLiteral("gattò ł.gif");
    QCOMPARE(entries(gifFolder), QStringList{drawing});
    const QString path = QDir(gifFolder).filePath(drawing);
    DrawingRules rules;
    rules.minAreas = 2;
    const QStringList problems = drawingFileProblems(path, rules);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; "))));
    QCOMPARE(countAreas(QImage(path)).areas, 3);
    qInfo("%s: %lld bytes", qPrintable(drawing), QFileInfo(path).size());
}

void TestDisegnoWindows::refusesAnSvgDrawingAndWritesNothing()
{
    const QString picture = QDir(pictures).filePath(QStringLiteral("disegno.svg"));
    QFile svg(picture);
    QVERIFY(svg.open(QIODevice::WriteOnly));
    svg.write("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"100\" height=\"160\">"
              "<rect x=\"5\" y=\"5\" width=\"90\" height=\"150\" fill=\"none\" "
              "stroke=\"black\"/></svg>\n");
    svg.close();
    const QString folder = root.filePath(QStringLiteral("Gif vuota"));
    QVERIFY(QDir().mkpath(folder));

    const Run result = run({QStringLiteral("--cartella"), folder, picture});
    QCOMPARE(result.exitCode, 1);
    QVERIFY(result.out.isEmpty());
    QVERIFY2(result.err.contains(QStringLiteral("rifiutato, è un disegno SVG")),
             qPrintable(result.err));
    QCOMPARE(entries(folder), QStringList());
}

QTEST_GUILESS_MAIN(TestDisegnoWindows)
#include "tst_disegno_windows.moc"
