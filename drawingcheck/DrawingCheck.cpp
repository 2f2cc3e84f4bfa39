#include "DrawingCheck.h"

#include "AreaFill.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace {

constexpr QRgb rgbMask = 0x00FFFFFF;
constexpr QRgb black = 0x000000;
constexpr QRgb white = 0xFFFFFF;

bool isBlack(QRgb pixel)
{
    return (pixel & rgbMask) == black;
}
bool isWhite(QRgb pixel)
{
    return (pixel & rgbMask) == white;
}

// A working copy in which every pixel that is not black is white, so that any
// other colour in it afterwards is an area label.
QImage blackAndWhiteCopy(const QImage &image)
{
    QImage copy = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < copy.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(copy.scanLine(y));
        for (int x = 0; x < copy.width(); ++x)
            line[x] = isBlack(line[x]) ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
    }
    return copy;
}

// Label n (from 1) as a colour that is neither black nor white.
QRgb labelColour(int n)
{
    return 0xFF000000u | static_cast<QRgb>(n);
}

int countColour(const QImage &image, const QRect &rect, QRgb colour)
{
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = rect.left(); x <= rect.right(); ++x)
            count += (line[x] & rgbMask) == (colour & rgbMask) ? 1 : 0;
    }
    return count;
}

QString pointText(const QPoint &p)
{
    return QStringLiteral("(%1, %2)").arg(p.x()).arg(p.y());
}

QString sizeProblem(QSize size, const DrawingRules &rules)
{
    if (size.width() <= rules.maxSize.width() && size.height() <= rules.maxSize.height())
        return {};
    return QStringLiteral("size %1 x %2 is over %3 x %4")
        .arg(size.width())
        .arg(size.height())
        .arg(rules.maxSize.width())
        .arg(rules.maxSize.height());
}

// The size a GIF file declares for its screen, before anything is decoded.
QSize declaredGifSize(const QByteArray &bytes)
{
    if (bytes.size() < 10)
        return {};
    const auto word = [&](int at) {
        return int(uchar(bytes.at(at))) | int(uchar(bytes.at(at + 1))) << 8;
    };
    return {word(6), word(8)};
}

} // namespace

AreaCount countAreas(const QImage &image)
{
    QImage labels = blackAndWhiteCopy(image);
    AreaCount result;
    for (int y = 0; y < labels.height(); ++y) {
        for (int x = 0; x < labels.width(); ++x) {
            if (!isWhite(labels.pixel(x, y)))
                continue;
            const QRgb label = labelColour(result.areas + 1);
            const QRect painted = fillArea(labels, x, y, label);
            const int pixels = countColour(labels, painted, label);
            ++result.areas;
            if (result.areas == 1 || pixels < result.smallestPixels) {
                result.smallestPixels = pixels;
                result.smallestAt = QPoint(x, y);
            }
        }
    }
    return result;
}

int strayColourPixels(const QImage &image, QPoint *first)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    int count = 0;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            if (isBlack(line[x]) || isWhite(line[x]))
                continue;
            if (count == 0 && first)
                *first = QPoint(x, y);
            ++count;
        }
    }
    return count;
}

QStringList drawingProblems(const QImage &image, const DrawingRules &rules)
{
    QStringList problems;
    if (const QString size = sizeProblem(image.size(), rules); !size.isEmpty())
        problems << size;
    QPoint firstStray;
    if (const int stray = strayColourPixels(image, &firstStray); stray > 0)
        problems << QStringLiteral("%1 pixels are neither black nor white, the first at %2")
                        .arg(stray)
                        .arg(pointText(firstStray));
    const AreaCount count = countAreas(image);
    if (count.areas < rules.minAreas || count.areas > rules.maxAreas)
        problems << QStringLiteral("%1 areas, not between %2 and %3")
                        .arg(count.areas)
                        .arg(rules.minAreas)
                        .arg(rules.maxAreas);
    if (count.areas > 0 && count.smallestPixels < rules.minAreaPixels)
        problems << QStringLiteral("an area of %1 pixels at %2 is under %3")
                        .arg(count.smallestPixels)
                        .arg(pointText(count.smallestAt))
                        .arg(rules.minAreaPixels);
    return problems;
}

QStringList drawingBytesProblems(const QByteArray &bytes, const DrawingRules &rules,
                                 QImage *picture)
{
    if (!bytes.startsWith("GIF8"))
        return {QStringLiteral("not a GIF file (no GIF8 header)")};
    // A picture larger than the rules allow is not even decoded.
    if (const QString size = sizeProblem(declaredGifSize(bytes), rules); !size.isEmpty())
        return {size};
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer, "gif");
    QStringList problems;
    if (const int frames = reader.imageCount(); frames != 1)
        problems << QStringLiteral("%1 frames instead of one").arg(frames);
    const QImage image = reader.read();
    if (image.isNull())
        return problems << QStringLiteral("cannot be decoded: %1").arg(reader.errorString());
    if (picture)
        *picture = image;
    return problems + drawingProblems(image, rules);
}

QStringList drawingFileProblems(const QString &path, const DrawingRules &rules)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {QStringLiteral("cannot be read: %1").arg(file.errorString())};
    return drawingBytesProblems(file.readAll(), rules);
}

DrawingRules rulesForFile(const QString &fileName)
{
    DrawingRules rules;
    if (QFileInfo(fileName).fileName().compare(QStringLiteral("cromello.gif"),
                                               Qt::CaseInsensitive) == 0)
        rules.maxAreas = 25;
    return rules;
}
