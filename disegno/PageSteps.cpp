#include "PageSteps.h"

#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

// Ink and paper whose mean grey levels are closer than this are no drawing.
constexpr double kSmallestContrast = 24.0;

// The paper's level is sought in blocks of this part of the longer side.
constexpr int kLightBlocks = 16;

// A speck is a patch of ink smaller than this many pixels of the page.
constexpr double kSpeckPagePixels = 4.0;

using Histogram = std::array<double, 256>;

Histogram greyHistogram(const QImage &grey)
{
    Histogram histogram{};
    for (int y = 0; y < grey.height(); ++y) {
        const uchar *line = grey.constScanLine(y);
        for (int x = 0; x < grey.width(); ++x)
            histogram[line[x]] += 1.0;
    }
    return histogram;
}

// The pixels of `from` spread over a 3 x 3 square (`grow`), or kept only where
// the whole square is ink (`!grow`). Outside the picture counts as paper when
// growing and as ink when shrinking, so the edges of the page stay as they are.
InkMask squareFilter(const InkMask &from, bool grow)
{
    const int width = from.width();
    const int height = from.height();
    const auto value = [&](const InkMask &mask, int x, int y) {
        if (x < 0 || y < 0 || x >= width || y >= height)
            return !grow;
        return mask.at(x, y);
    };
    InkMask rows(from.size);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool left = value(from, x - 1, y);
            const bool self = from.at(x, y);
            const bool right = value(from, x + 1, y);
            rows.set(x, y, grow ? (left || self || right) : (left && self && right));
        }
    }
    InkMask result(from.size);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool up = value(rows, x, y - 1);
            const bool self = rows.at(x, y);
            const bool down = value(rows, x, y + 1);
            result.set(x, y, grow ? (up || self || down) : (up && self && down));
        }
    }
    return result;
}

QImage onWhitePaper(const QImage &picture, QSize size)
{
    QImage paper(size, QImage::Format_RGB32);
    paper.fill(Qt::white);
    QPainter painter(&paper);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(QPoint(0, 0), size), picture);
    return paper;
}

QSize workingSize(QSize picture, QSize page)
{
    if (picture.width() < page.width() || picture.height() < page.height())
        return page;
    return picture.boundedTo(fitInside(picture, page * kWorkingScale));
}

int speckPixels(QSize working, QSize page)
{
    const double scale = double(working.width()) / page.width();
    return std::max(int(kSpeckPagePixels), int(std::lround(kSpeckPagePixels * scale * scale)));
}

} // namespace

QSize fitInside(QSize picture, QSize box)
{
    if (picture.isEmpty())
        return box;
    return picture.scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

QImage workingGrey(const QImage &picture, QSize page)
{
    const QSize size = workingSize(picture.size(), page);
    const QImage source =
        size.width() < picture.width()
            ? picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
            : picture;
    return onWhitePaper(source, size).convertToFormat(QImage::Format_Grayscale8);
}

QImage smoothGrain(const QImage &grey)
{
    const int width = grey.width();
    const int height = grey.height();
    const auto clamped = [](int value, int size) {
        return std::clamp(value, 0, size - 1);
    };
    std::vector<int> rowSums(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        const uchar *line = grey.constScanLine(y);
        for (int x = 0; x < width; ++x)
            rowSums[static_cast<size_t>(y) * width + x] =
                line[clamped(x - 1, width)] + line[x] + line[clamped(x + 1, width)];
    }
    QImage smooth(grey.size(), QImage::Format_Grayscale8);
    for (int y = 0; y < height; ++y) {
        uchar *line = smooth.scanLine(y);
        const int *up = &rowSums[static_cast<size_t>(clamped(y - 1, height)) * width];
        const int *self = &rowSums[static_cast<size_t>(y) * width];
        const int *down = &rowSums[static_cast<size_t>(clamped(y + 1, height)) * width];
        for (int x = 0; x < width; ++x)
            line[x] = static_cast<uchar>((up[x] + self[x] + down[x] + 4) / 9);
    }
    return smooth;
}

QImage evenLight(const QImage &grey)
{
    const int width = grey.width();
    const int height = grey.height();
    const int block = std::max(8, std::max(width, height) / kLightBlocks);
    const int columns = (width + block - 1) / block;
    const int rows = (height + block - 1) / block;
    QImage brightest(columns, rows, QImage::Format_Grayscale8);
    brightest.fill(0);
    for (int y = 0; y < height; ++y) {
        const uchar *line = grey.constScanLine(y);
        uchar *blocks = brightest.scanLine(y / block);
        for (int x = 0; x < width; ++x)
            blocks[x / block] = std::max(blocks[x / block], line[x]);
    }
    // A block wholly inside a thick line takes the paper of its neighbours.
    QImage paper(brightest.size(), QImage::Format_Grayscale8);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            uchar level = 0;
            for (int dr = std::max(0, r - 1); dr <= std::min(rows - 1, r + 1); ++dr)
                for (int dc = std::max(0, c - 1); dc <= std::min(columns - 1, c + 1); ++dc)
                    level = std::max(level, brightest.constScanLine(dr)[dc]);
            paper.scanLine(r)[c] = level;
        }
    }
    // Where even the brightest grey nearby is dark, there is no paper to see
    // but a large dark shape: it is measured against the page's own paper.
    uchar pagePaper = 0;
    for (int r = 0; r < rows; ++r)
        pagePaper = std::max(
            pagePaper, *std::max_element(paper.constScanLine(r), paper.constScanLine(r) + columns));
    const int darkest = std::max(1, pagePaper / 2);
    const QImage light = paper.scaled(grey.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                             .convertToFormat(QImage::Format_Grayscale8);
    QImage even(grey.size(), QImage::Format_Grayscale8);
    for (int y = 0; y < height; ++y) {
        const uchar *line = grey.constScanLine(y);
        const uchar *lightLine = light.constScanLine(y);
        uchar *evenLine = even.scanLine(y);
        for (int x = 0; x < width; ++x)
            evenLine[x] = static_cast<uchar>(
                std::min(255, line[x] * 255 / std::max<int>(darkest, lightLine[x])));
    }
    return even;
}

std::optional<int> inkThreshold(const QImage &grey)
{
    const Histogram histogram = greyHistogram(grey);
    double total = 0.0;
    double weightedTotal = 0.0;
    for (int level = 0; level < 256; ++level) {
        total += histogram[level];
        weightedTotal += level * histogram[level];
    }
    double darkCount = 0.0;
    double darkSum = 0.0;
    double bestSpread = -1.0;
    int bestLevel = -1;
    double bestContrast = 0.0;
    for (int level = 0; level < 255; ++level) {
        darkCount += histogram[level];
        darkSum += level * histogram[level];
        const double lightCount = total - darkCount;
        if (darkCount == 0.0 || lightCount == 0.0)
            continue;
        const double darkMean = darkSum / darkCount;
        const double lightMean = (weightedTotal - darkSum) / lightCount;
        const double spread =
            darkCount * lightCount * (lightMean - darkMean) * (lightMean - darkMean);
        if (spread > bestSpread) {
            bestSpread = spread;
            bestLevel = level;
            bestContrast = lightMean - darkMean;
        }
    }
    if (bestLevel < 0 || bestContrast < kSmallestContrast)
        return std::nullopt;
    return bestLevel;
}

InkMask inkAtOrBelow(const QImage &grey, int level)
{
    InkMask mask(grey.size());
    for (int y = 0; y < grey.height(); ++y) {
        const uchar *line = grey.constScanLine(y);
        for (int x = 0; x < grey.width(); ++x)
            mask.set(x, y, line[x] <= level);
    }
    return mask;
}

void removeSpecks(InkMask &mask, int smallerThan)
{
    const Regions regions = findRegions(mask, true, Neighbours::Eight);
    for (size_t i = 0; i < mask.ink.size(); ++i) {
        const int region = regions.regionOf[i];
        if (region >= 0 && regions.pixels[static_cast<size_t>(region)] < smallerThan)
            mask.ink[i] = 0;
    }
}

InkMask shrinkKeepingLines(const InkMask &mask, QSize size)
{
    if (size == mask.size)
        return mask;
    InkMask shrunk(size);
    for (int y = 0; y < mask.height(); ++y) {
        const int to = int(qint64(y) * size.height() / mask.height());
        for (int x = 0; x < mask.width(); ++x) {
            if (mask.at(x, y))
                shrunk.set(int(qint64(x) * size.width() / mask.width()), to, true);
        }
    }
    return shrunk;
}

void closeGaps(InkMask &mask)
{
    mask = squareFilter(squareFilter(mask, true), false);
}

void thickenLines(InkMask &mask)
{
    const InkMask lines = mask;
    const int width = mask.width();
    const int height = mask.height();
    for (int y = 0; y < height; ++y) {
        // At the last column and row the line grows backwards instead.
        const int below = y + 1 < height ? y + 1 : y - 1;
        for (int x = 0; x < width; ++x) {
            if (!lines.at(x, y))
                continue;
            const int beside = x + 1 < width ? x + 1 : x - 1;
            if (beside >= 0)
                mask.set(beside, y, true);
            if (below >= 0)
                mask.set(x, below, true);
            if (beside >= 0 && below >= 0)
                mask.set(beside, below, true);
        }
    }
}

void fillSmallAreas(InkMask &mask, int smallerThan)
{
    const Regions regions = findRegions(mask, false, Neighbours::Four);
    for (size_t i = 0; i < mask.ink.size(); ++i) {
        const int region = regions.regionOf[i];
        if (region >= 0 && regions.pixels[static_cast<size_t>(region)] < smallerThan)
            mask.ink[i] = 1;
    }
}

QImage blackAndWhite(const InkMask &mask)
{
    QImage page(mask.size, QImage::Format_Indexed8);
    page.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    for (int y = 0; y < mask.height(); ++y) {
        uchar *line = page.scanLine(y);
        for (int x = 0; x < mask.width(); ++x)
            line[x] = mask.at(x, y) ? 0 : 1;
    }
    return page;
}

QImage makeColouringPage(const QImage &picture, QSize box)
{
    const QSize page = fitInside(picture.size(), box);
    const QImage grey = evenLight(smoothGrain(workingGrey(picture, page)));
    const std::optional<int> level = inkThreshold(grey);
    InkMask mask = level ? inkAtOrBelow(grey, *level) : InkMask(grey.size());
    removeSpecks(mask, speckPixels(grey.size(), page));
    mask = shrinkKeepingLines(mask, page);
    closeGaps(mask);
    thickenLines(mask);
    fillSmallAreas(mask, kSmallestArea);
    return blackAndWhite(mask);
}
