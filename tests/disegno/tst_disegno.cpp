#include "DrawingCheck.h"
#include "PictureLoader.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

// Runs the built tingolamo-disegno on pictures of every kind it reads, each
// drawn here, and checks the drawings it writes with the picture folder's own
// rules.
class TestDisegno : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void turnsPicturesIntoPages_data();
    void turnsPicturesIntoPages();
    void refusesWhatCannotBeColoured_data();
    void refusesWhatCannotBeColoured();
    void keepsAnExistingDrawing();
    void writesIntoThePictureFolderOfItsRealFolder();
    void readsPicturesWithoutTheAdministratorsRights_data();
    void readsPicturesWithoutTheAdministratorsRights();
    void drawsNoPictureAnSvgNamesElsewhere();
    void helperWritesOnlyAFinishedPage_data();
    void helperWritesOnlyAFinishedPage();

private:
    QTemporaryDir pictures;
    std::unique_ptr<QTemporaryDir> output; // a new one for every test
};

namespace {

const QString program = QStringLiteral(TINGOLAMO_DISEGNO);
const QString helper = QStringLiteral(TINGOLAMO_DISEGNO_SCRIVI);

struct Run
{
    int exitCode = -1;
    QStringList out;
    QStringList err;
};

QStringList lines(const QByteArray &bytes)
{
    return QString::fromUtf8(bytes).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

Run run(const QString &executable, const QStringList &arguments,
        const QByteArray &input = QByteArray())
{
    QProcess process;
    process.start(executable, arguments);
    process.write(input);
    process.closeWriteChannel();
    Run result;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = lines(process.readAllStandardOutput());
    result.err = lines(process.readAllStandardError());
    return result;
}

QString withName(const QTemporaryDir &dir, const QString &name)
{
    return dir.filePath(name);
}

// A page at twice the page size, anti-aliased in dark grey: a frame cut into
// two halves; a ring and a ring too small to colour in the top half, a large
// dark disc in the bottom half. Four areas: the paper round the frame, the
// two halves and the inside of the ring.
QImage antiAliasedDrawing()
{
    QImage image(710, 1120, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(70, 70, 70), 3.3));
    painter.drawRect(QRectF(40.5, 40.5, 630, 1040));
    painter.drawLine(QPointF(40, 560.5), QPointF(670, 560.5));
    painter.drawEllipse(QPointF(200, 300), 90, 90);
    painter.drawEllipse(QPointF(500, 300), 6, 6);
    painter.setBrush(QColor(70, 70, 70));
    painter.drawEllipse(QPointF(355, 820), 230, 230);
    return image;
}

// Grey paper with grain and specks, in light that fades from the top right to
// the bottom left as in a photographed sheet; dark lines: a frame cut into
// three columns. Four areas, and the insides of the columns must come out
// clean.
QImage noisyScan()
{
    QImage image(710, 1120, QImage::Format_RGB32);
    {
        QPainter painter(&image);
        QLinearGradient light(QPointF(710, 0), QPointF(0, 1120));
        light.setColorAt(0, QColor(225, 225, 225));
        light.setColorAt(1, QColor(130, 130, 130));
        painter.fillRect(image.rect(), light);
        painter.setPen(QPen(QColor(60, 60, 60), 5));
        painter.drawRect(50, 50, 610, 1020);
        painter.drawLine(253, 50, 253, 1070);
        painter.drawLine(456, 50, 456, 1070);
    }
    QRandomGenerator random(15);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int grey = qGray(line[x]) + random.bounded(-45, 46);
            line[x] = qRgb(qBound(0, grey, 255), qBound(0, grey, 255), qBound(0, grey, 255));
        }
    }
    QPainter specks(&image);
    for (int i = 0; i < 400; ++i)
        specks.fillRect(random.bounded(710), random.bounded(1120), 2, 2, QColor(40, 40, 40));
    return image;
}

QList<QRect> noisyScanInsides()
{
    return {QRect(60, 60, 185, 1000), QRect(263, 60, 185, 1000), QRect(466, 60, 185, 1000)};
}

// Black lines on transparent pixels that are themselves black with no alpha,
// smaller than the page: a frame cut by its diagonal. Three areas.
QImage transparentPicture()
{
    QImage image(200, 300, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setPen(QPen(Qt::black, 2));
    painter.drawRect(10, 10, 180, 280);
    painter.drawLine(10, 10, 190, 290);
    return image;
}

// Thin strokes, a third of a pixel of the page: a frame cut in two halves by
// a line with a gap of exactly two pixels of the page (it is drawn at 14
// units a pixel, four times the page), a ring in each half and a ring too
// small to colour. Five areas.
QByteArray svgDrawing()
{
    return "<?xml version=\"1.0\"?>\n"
           "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"100\" height=\"160\""
           " viewBox=\"0 0 100 160\">\n"
           " <g fill=\"none\" stroke=\"#222\" stroke-width=\"0.3\">\n"
           "  <rect x=\"5\" y=\"5\" width=\"90\" height=\"150\"/>\n"
           "  <path d=\"M 50 5 V 80 M 50 80.5714 V 155\"/>\n"
           "  <circle cx=\"27.5\" cy=\"45\" r=\"15\"/>\n"
           "  <circle cx=\"72.5\" cy=\"115\" r=\"15\"/>\n"
           "  <circle cx=\"72.5\" cy=\"45\" r=\"1.5\"/>\n"
           " </g>\n"
           "</svg>\n";
}

// A one-page A4 document: a frame cut into three bands. Four areas.
bool writePdf(const QString &path)
{
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(72);
    QPainter painter(&writer);
    if (!painter.isActive())
        return false;
    painter.setPen(QPen(Qt::black, 2));
    painter.drawRect(40, 40, 500, 750);
    painter.drawLine(40, 290, 540, 290);
    painter.drawLine(40, 540, 540, 540);
    return painter.end();
}

// A photograph's worth of soft light and shade, with no lines at all.
QImage photograph()
{
    QImage shades(40, 30, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < shades.height(); ++y)
        for (int x = 0; x < shades.width(); ++x)
            shades.setPixel(x, y,
                            qRgb(random.bounded(256), random.bounded(256), random.bounded(256)));
    return shades.scaled(800, 600, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// A one-page PDF whose page draws a form `fan` times, which draws the next
// form `fan` times, and so on for `levels` forms; the last one strokes a frame
// cut in two. Three areas, however long it takes to draw.
QByteArray layeredPdf(int fan, int levels)
{
    QList<QByteArray> objects{"<< /Type /Catalog /Pages 2 0 R >>",
                              "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                              "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 600 800] /Contents 4 0 R"
                              " /Resources << /XObject << /X 5 0 R >> >> >>"};
    const auto stream = [](const QByteArray &dictionary, const QByteArray &data) {
        return "<< " + dictionary + " /Length " + QByteArray::number(data.size()) +
               " >>\nstream\n" + data + "\nendstream";
    };
    objects << stream("", "/X Do");
    for (int level = 0; level < levels; ++level) {
        const QByteArray next = QByteArray::number(objects.size() + 2);
        const QByteArray draws = QByteArray("/X Do ").repeated(fan);
        objects << stream("/Type /XObject /Subtype /Form /BBox [0 0 600 800] /Resources << "
                          "/XObject << /X " +
                              next + " 0 R >> >>",
                          draws);
    }
    objects << stream("/Type /XObject /Subtype /Form /BBox [0 0 600 800]",
                      "4 w 20 20 560 760 re S 20 400 m 580 400 l S");
    QByteArray pdf = "%PDF-1.4\n";
    QByteArray table =
        "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (qsizetype i = 0; i < objects.size(); ++i) {
        table += QByteArray::number(pdf.size()).rightJustified(10, '0') + " 00000 n \n";
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + objects.at(i) + "\nendobj\n";
    }
    const QByteArray start = QByteArray::number(pdf.size());
    return pdf + table + "trailer\n<< /Size " + QByteArray::number(objects.size() + 1) +
           " /Root 1 0 R >>\nstartxref\n" + start + "\n%%EOF\n";
}

// The ids a process runs with, as its /proc status gives them.
struct Ids
{
    QString uid, gid, groups, noNewPrivs;
};

Ids idsOf(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    Ids ids;
    if (!status.open(QIODevice::ReadOnly))
        return ids;
    for (const QByteArray &line : status.readAll().split('\n')) {
        const QString value = QString::fromLatin1(line.mid(line.indexOf(':') + 1)).simplified();
        if (line.startsWith("Uid:"))
            ids.uid = value;
        else if (line.startsWith("Gid:"))
            ids.gid = value;
        else if (line.startsWith("Groups:"))
            ids.groups = value;
        else if (line.startsWith("NoNewPrivs:"))
            ids.noNewPrivs = value;
    }
    return ids;
}

// The ids of the worker that `command` starts, watched while it runs.
std::optional<Ids> workerIds(QProcess &command)
{
    const QString children = QStringLiteral("/proc/%1/task/%1/children").arg(command.processId());
    while (command.state() == QProcess::Running) {
        QFile file(children);
        for (const QByteArray &child :
             file.open(QIODevice::ReadOnly) ? file.readAll().split(' ') : QList<QByteArray>()) {
            const Ids ids = idsOf(child.toLongLong());
            QFile commandLine(QStringLiteral("/proc/%1/cmdline").arg(QString::fromLatin1(child)));
            if (!ids.uid.isEmpty() && commandLine.open(QIODevice::ReadOnly) &&
                commandLine.readAll().contains("--lavoro"))
                return ids;
        }
        command.waitForFinished(20);
    }
    return std::nullopt;
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

DrawingRules pageRules()
{
    DrawingRules rules;
    rules.minAreas = 2;
    return rules;
}

bool isBlack(const QImage &image, int x, int y)
{
    return (image.pixel(x, y) & 0x00FFFFFF) == 0;
}

// The first black pixel that lies in no 2 x 2 square of black, if any.
std::optional<QPoint> thinLine(const QImage &image)
{
    const auto square = [&](int left, int top) {
        return left >= 0 && top >= 0 && left + 1 < image.width() && top + 1 < image.height() &&
               isBlack(image, left, top) && isBlack(image, left + 1, top) &&
               isBlack(image, left, top + 1) && isBlack(image, left + 1, top + 1);
    };
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (isBlack(image, x, y) && !square(x - 1, y - 1) && !square(x, y - 1) &&
                !square(x - 1, y) && !square(x, y))
                return QPoint(x, y);
        }
    }
    return std::nullopt;
}

int blackPixels(const QImage &image, const QRect &rect)
{
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            count += isBlack(image, x, y) ? 1 : 0;
    return count;
}

QRect scaled(const QRect &rect, double factor)
{
    return QRect(QPoint(qRound(rect.left() * factor), qRound(rect.top() * factor)),
                 QPoint(qRound(rect.right() * factor), qRound(rect.bottom() * factor)));
}

QStringList entries(const QTemporaryDir &dir)
{
    return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

void TestDisegno::initTestCase()
{
    QVERIFY(pictures.isValid());
    QVERIFY(antiAliasedDrawing().save(withName(pictures, "Disegno.PNG")));
    QVERIFY(noisyScan().save(withName(pictures, "scansione.jpg"), "JPEG", 80));
    QVERIFY(transparentPicture().save(withName(pictures, "trasparente.png")));
    QVERIFY(writeBytes(withName(pictures, "disegno vettoriale.svg"), svgDrawing()));
    QVERIFY(writePdf(withName(pictures, "pagina.pdf")));
    QVERIFY(writeBytes(withName(pictures, "lettera.png"), "Cara nonna,\nciao!\n"));
    QImage blank(600, 800, QImage::Format_RGB32);
    blank.fill(QColor(235, 235, 230));
    QVERIFY(blank.save(withName(pictures, "bianca.jpg"), "JPEG", 60));
    QVERIFY(photograph().save(withName(pictures, "foto.jpg"), "JPEG", 90));
    QVERIFY(writeBytes(withName(pictures, "lenta.pdf"), layeredPdf(150, 1)));
    QVERIFY(writeBytes(withName(pictures, "infinita.pdf"), layeredPdf(10, 9)));
}

void TestDisegno::init()
{
    output = std::make_unique<QTemporaryDir>();
    QVERIFY(output->isValid());
}

void TestDisegno::turnsPicturesIntoPages_data()
{
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QString>("drawing");
    QTest::addColumn<int>("areas");
    QTest::addColumn<QList<QRect>>("cleanInsides");

    QTest::newRow("anti-aliased grey PNG") << "Disegno.PNG"
                                           << "disegno.gif" << 4 << QList<QRect>();
    QTest::newRow("noisy, shaded JPEG scan") << "scansione.jpg"
                                             << "scansione.gif" << 4 << noisyScanInsides();
    QTest::newRow("transparent PNG") << "trasparente.png"
                                     << "trasparente.gif" << 3 << QList<QRect>();
    QTest::newRow("SVG") << "disegno vettoriale.svg"
                         << "disegno vettoriale.gif" << 5 << QList<QRect>();
    QTest::newRow("PDF") << "pagina.pdf"
                         << "pagina.gif" << 4 << QList<QRect>();
}

void TestDisegno::turnsPicturesIntoPages()
{
    QFETCH(QString, picture);
    QFETCH(QString, drawing);
    QFETCH(int, areas);
    QFETCH(QList<QRect>, cleanInsides);

    const Run result =
        run(program, {QStringLiteral("--cartella"), output->path(), withName(pictures, picture)});
    QVERIFY2(result.exitCode == 0, qPrintable(result.err.join('\n')));
    QCOMPARE(result.out.size(), 1);
    QVERIFY2(result.out.first().contains(QStringLiteral("scritto")), qPrintable(result.out[0]));
    QCOMPARE(entries(*output), QStringList{drawing});

    const QString path = output->filePath(drawing);
    QVERIFY(QFileInfo(path).permissions() & QFile::ReadOther);
    QVERIFY(decodePicture(readBytes(path)).ok());
    const QStringList problems = drawingFileProblems(path, pageRules());
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join("; ")));

    const QImage page(path);
    QCOMPARE(countAreas(page).areas, areas);
    QVERIFY(page.width() == 355 || page.height() == 560);
    const std::optional<QPoint> thin = thinLine(page);
    QVERIFY2(!thin,
             thin ? qPrintable(QStringLiteral("thin line at %1, %2").arg(thin->x()).arg(thin->y()))
                  : "");
    const double factor = double(page.width()) / QImage(withName(pictures, picture)).width();
    for (const QRect &inside : cleanInsides)
        QCOMPARE(blackPixels(page, scaled(inside, factor)), 0);
}

void TestDisegno::refusesWhatCannotBeColoured_data()
{
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QString>("reason");
    QTest::newRow("text named .png") << "lettera.png"
                                     << "non è un'immagine";
    QTest::newRow("blank page") << "bianca.jpg"
                                << "niente da colorare";
    QTest::newRow("photograph") << "foto.jpg"
                                << "sembra una fotografia";
    QTest::newRow("missing file") << "manca.png"
                                  << "non esiste";
}

void TestDisegno::refusesWhatCannotBeColoured()
{
    QFETCH(QString, picture);
    QFETCH(QString, reason);
    const QString path = withName(pictures, picture);
    const Run result = run(program, {QStringLiteral("--cartella"), output->path(), path});
    QCOMPARE(result.exitCode, 1);
    QVERIFY(result.out.isEmpty());
    QCOMPARE(result.err.size(), 1);
    QVERIFY2(result.err.first().startsWith(path + QStringLiteral(": rifiutato, ")) &&
                 result.err.first().contains(reason),
             qPrintable(result.err.first()));
    QCOMPARE(entries(*output), QStringList());
}

void TestDisegno::keepsAnExistingDrawing()
{
    const QString existing = output->filePath(QStringLiteral("trasparente.gif"));
    QVERIFY(writeBytes(existing, "il disegno di prima"));
    const Run result =
        run(program, {QStringLiteral("--cartella"), output->path(),
                      withName(pictures, "pagina.pdf"), withName(pictures, "trasparente.png")});
    QCOMPARE(result.exitCode, 1);
    QCOMPARE(result.out.size(), 1);
    QVERIFY(result.out.first().contains(QStringLiteral("pagina.gif")));
    QCOMPARE(result.err.size(), 1);
    QVERIFY2(result.err.first().contains(QStringLiteral("saltato")), qPrintable(result.err[0]));
    QCOMPARE(readBytes(existing), QByteArray("il disegno di prima"));
    QCOMPARE(entries(*output), (QStringList{"pagina.gif", "trasparente.gif"}));
}

// Installed, the command is reached through a link in another folder, and the
// picture folder may be spelt in any case.
void TestDisegno::writesIntoThePictureFolderOfItsRealFolder()
{
    const QString programFolder = output->filePath(QStringLiteral("programma"));
    const QString binFolder = output->filePath(QStringLiteral("bin"));
    QVERIFY(QDir().mkpath(programFolder + QStringLiteral("/gIF")));
    QVERIFY(QDir().mkpath(binFolder));
    const QString copy = programFolder + QStringLiteral("/tingolamo-disegno");
    QVERIFY(QFile::copy(program, copy));
    QVERIFY(QFile::link(QStringLiteral("../programma/tingolamo-disegno"),
                        binFolder + QStringLiteral("/tingolamo-disegno")));

    const Run result = run(binFolder + QStringLiteral("/tingolamo-disegno"),
                           {withName(pictures, "trasparente.png")});
    QVERIFY2(result.exitCode == 0, qPrintable(result.err.join('\n')));
    QVERIFY(QFile::exists(programFolder + QStringLiteral("/gIF/trasparente.gif")));
}

// Run by the administrator, the command reads the picture's bytes and writes
// the page, but the process that decodes the picture runs as the user who
// asked (sudo's SUDO_UID and SUDO_GID), else as nobody, with no groups and no
// way back; and it is stopped when it takes longer than it may.
void TestDisegno::readsPicturesWithoutTheAdministratorsRights_data()
{
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QString>("sudoUid");
    QTest::addColumn<QString>("sudoGid");
    QTest::addColumn<QString>("expectedUid");
    QTest::addColumn<QString>("expectedGid");
    QTest::addColumn<bool>("written");
    QTest::addColumn<QString>("bound");

    const passwd *nobody = ::getpwnam("nobody");
    const group *nogroup = ::getgrnam("nogroup");
    const QString nobodyUid = QString::number(nobody ? nobody->pw_uid : 65534);
    const QString nogroupGid = QString::number(nogroup ? nogroup->gr_gid : 65534);
    QTest::newRow("under sudo, a slow page") << "lenta.pdf"
                                             << "4242"
                                             << "4343"
                                             << "4242"
                                             << "4343" << true << "30";
    QTest::newRow("no user to be, a page that never ends")
        << "infinita.pdf" << QString() << QString() << nobodyUid << nogroupGid << false << "2";
}

void TestDisegno::readsPicturesWithoutTheAdministratorsRights()
{
    if (::geteuid() != 0)
        QSKIP("only the administrator can start a worker as another user");
    QFETCH(QString, picture);
    QFETCH(QString, sudoUid);
    QFETCH(QString, sudoGid);
    QFETCH(QString, expectedUid);
    QFETCH(QString, expectedGid);
    QFETCH(bool, written);
    QFETCH(QString, bound);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"SUDO_UID", "SUDO_GID", "PKEXEC_UID"})
        environment.remove(QString::fromLatin1(name));
    if (!sudoUid.isEmpty()) {
        environment.insert(QStringLiteral("SUDO_UID"), sudoUid);
        environment.insert(QStringLiteral("SUDO_GID"), sudoGid);
    }
    QProcess command;
    command.setProcessEnvironment(environment);
    QElapsedTimer clock;
    clock.start();
    command.start(program, {QStringLiteral("--attesa"), bound, QStringLiteral("--cartella"),
                            output->path(), withName(pictures, picture)});
    QVERIFY(command.waitForStarted());
    const std::optional<Ids> ids = workerIds(command);
    QVERIFY(command.waitForFinished(20000));
    const QString said = QString::fromUtf8(command.readAllStandardError());

    QVERIFY2(ids, "no worker seen");
    QCOMPARE(ids->uid, QStringList(4, expectedUid).join(QLatin1Char(' ')));
    QCOMPARE(ids->gid, QStringList(4, expectedGid).join(QLatin1Char(' ')));
    QCOMPARE(ids->groups, QString());
    QCOMPARE(ids->noNewPrivs, QStringLiteral("1"));
    QCOMPARE(command.exitCode(), written ? 0 : 1);
    QCOMPARE(entries(*output).size(), written ? 1 : 0);
    if (written) {
        QCOMPARE(QFileInfo(output->filePath("lenta.gif")).ownerId(), 0u);
    } else {
        QVERIFY2(said.contains(QStringLiteral("non è finita in 2 secondi")), qPrintable(said));
        QVERIFY2(clock.elapsed() < 8000, qPrintable(QString::number(clock.elapsed())));
    }
}

// An SVG may name another file as a picture of its own: whoever runs the
// command, nothing of that file reaches the page.
void TestDisegno::drawsNoPictureAnSvgNamesElsewhere()
{
    QTemporaryDir secret; // readable by its owner only
    QVERIFY(secret.isValid());
    const QString privatePicture = secret.filePath(QStringLiteral("privato.png"));
    QVERIFY(antiAliasedDrawing().save(privatePicture));
    QVERIFY(QFile::setPermissions(privatePicture, QFile::ReadOwner | QFile::WriteOwner));
    const QByteArray svg = svgDrawing().replace(
        "</svg>", "<image x=\"0\" y=\"0\" width=\"100\" height=\"160\" xlink:href=\"" +
                      privatePicture.toUtf8() + "\"/></svg>");
    QVERIFY(writeBytes(
        withName(pictures, "fuga.svg"),
        QByteArray(svg).replace("<svg ", "<svg xmlns:xlink=\"http://www.w3.org/1999/xlink\" ")));

    const Run result = run(
        program, {QStringLiteral("--cartella"), output->path(), withName(pictures, "fuga.svg")});
    QCOMPARE(result.exitCode, 1);
    QCOMPARE(result.err.size(), 1);
    QVERIFY2(result.err.first().contains(QStringLiteral("un'immagine da un altro file")),
             qPrintable(result.err.first()));
    QCOMPARE(entries(*output), QStringList());
}

// The administrator's helper writes a finished page into the picture folder
// beside it, and nothing else: not a GIF that fails the drawing check, not
// another kind of file, not under a name outside that folder or of a drawing
// that is there.
void TestDisegno::helperWritesOnlyAFinishedPage_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("gif");
    QTest::addColumn<int>("exitCode");

    QTemporaryDir made;
    QVERIFY(made.isValid());
    QCOMPARE(run(program,
                 {QStringLiteral("--cartella"), made.path(), withName(pictures, "trasparente.png")})
                 .exitCode,
             0);
    const QByteArray page = readBytes(made.filePath(QStringLiteral("trasparente.gif")));
    QVERIFY(page.startsWith("GIF8"));
    QByteArray huge = page;
    huge.replace(6, 4, QByteArray("\x60\xea\x60\xea", 4)); // 60000 x 60000
    const QByteArray dot("GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00,"
                         "\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;",
                         35);
    QByteArray png;
    {
        QBuffer buffer(&png);
        QVERIFY(buffer.open(QIODevice::WriteOnly));
        QVERIFY(transparentPicture().save(&buffer, "PNG"));
    }

    QTest::newRow("a finished page") << "nuovo.gif" << page << 0;
    QTest::newRow("a dot: one area too small") << "punto.gif" << dot << 1;
    QTest::newRow("larger than a page") << "enorme.gif" << huge << 1;
    QTest::newRow("a PNG") << "png.gif" << png << 1;
    QTest::newRow("out of the folder") << "../fuori.gif" << page << 2;
    QTest::newRow("into a folder") << "cartella/dentro.gif" << page << 2;
    QTest::newRow("hidden") << ".nascosto.gif" << page << 2;
    QTest::newRow("not a drawing's name") << "disegno.png" << page << 2;
    QTest::newRow("over a drawing") << "casa.gif" << page << 3;
}

void TestDisegno::helperWritesOnlyAFinishedPage()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, gif);
    QFETCH(int, exitCode);

    const QString programFolder = output->filePath(QStringLiteral("programma"));
    const QString folder = programFolder + QStringLiteral("/Gif");
    QVERIFY(QDir().mkpath(folder + QStringLiteral("/cartella")));
    QVERIFY(QFile::copy(helper, programFolder + QStringLiteral("/tingolamo-disegno-scrivi")));
    QVERIFY(writeBytes(folder + QStringLiteral("/casa.gif"), "la casa di prima"));
    const QStringList before = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden);

    const Run result =
        run(programFolder + QStringLiteral("/tingolamo-disegno-scrivi"), {name}, gif);
    QCOMPARE(result.exitCode, exitCode);
    QCOMPARE(readBytes(folder + QStringLiteral("/casa.gif")), QByteArray("la casa di prima"));
    QCOMPARE(QDir(folder + QStringLiteral("/cartella")).entryList(QDir::Files), QStringList());
    QCOMPARE(QDir(programFolder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             (QStringList{"Gif", "tingolamo-disegno-scrivi"}));
    const QStringList after = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden);
    if (exitCode != 0) {
        QVERIFY2(!result.err.isEmpty(), "no reason given");
        QCOMPARE(after, before);
        return;
    }
    const QString written = folder + QLatin1Char('/') + name;
    QCOMPARE(after.size(), before.size() + 1);
    QCOMPARE(QFileInfo(written).permissions(), QFile::ReadOwner | QFile::WriteOwner |
                                                   QFile::ReadUser | QFile::WriteUser |
                                                   QFile::ReadGroup | QFile::ReadOther);
    QVERIFY(drawingFileProblems(written, pageRules()).isEmpty());
}

QTEST_GUILESS_MAIN(TestDisegno)
#include "tst_disegno.moc"
