#include "PictureSurface.h"

#include <QList>

#include <array>

namespace {

// Blends one straight-alpha channel value over white.
int overWhite(int channel, int alpha)
{
    return (channel * alpha + 255 * (255 - alpha) + 127) / 255;
}

void composeRowOnWhite(QRgb *row, int width)
{
    for (int x = 0; x < width; ++x) {
        const QRgb pixel = row[x];
        const int alpha = qAlpha(pixel);
        if (alpha == 255)
            continue;
        row[x] = qRgb(overWhite(qRed(pixel), alpha), overWhite(qGreen(pixel), alpha),
                      overWhite(qBlue(pixel), alpha));
    }
}

// The colours met so far and their indexes, at most 256 of them. A small
// open-addressed table, asked only where the colour changes along a row.
class ColourIndex
{
public:
    // The index of `colour`, added when new; -1 once a 257th colour turns up.
    int indexOf(QRgb colour)
    {
        std::size_t slot = hash(colour);
        while (used_[slot]) {
            if (keys_[slot] == colour)
                return indexes_[slot];
            slot = (slot + 1) % kSlots;
        }
        if (colours_.size() == 256)
            return -1;
        used_[slot] = true;
        keys_[slot] = colour;
        indexes_[slot] = static_cast<unsigned char>(colours_.size());
        colours_.append(colour);
        return indexes_[slot];
    }

    const QList<QRgb> &colours() const { return colours_; }

private:
    static constexpr std::size_t kSlots = 1024;

    static std::size_t hash(QRgb colour) { return (colour * 2654435761u) >> 22; }

    std::array<bool, kSlots> used_{};
    std::array<QRgb, kSlots> keys_{};
    std::array<unsigned char, kSlots> indexes_{};
    QList<QRgb> colours_;
};

// Writes the indexes of one row; false once there are too many colours.
bool indexRow(const QRgb *from, uchar *to, int width, ColourIndex &index)
{
    int current = -1;
    QRgb last = 0;
    for (int x = 0; x < width; ++x) {
        if (current < 0 || from[x] != last) {
            last = from[x];
            current = index.indexOf(last);
            if (current < 0)
                return false;
        }
        to[x] = static_cast<uchar>(current);
    }
    return true;
}

} // namespace

QImage colouringSurface(QImage picture)
{
    if (picture.isNull() || picture.format() == QImage::Format_RGB32)
        return picture;
    if (!picture.hasAlphaChannel())
        return picture.convertToFormat(QImage::Format_RGB32);
    if (picture.format() != QImage::Format_ARGB32)
        picture = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < picture.height(); ++y)
        composeRowOnWhite(reinterpret_cast<QRgb *>(picture.scanLine(y)), picture.width());
    picture.reinterpretAsFormat(QImage::Format_RGB32);
    return picture;
}

QImage compactCopy(const QImage &picture)
{
    if (picture.isNull() || picture.depth() <= 8)
        return picture;
    const QImage pixels =
        picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32
            ? picture
            : picture.convertToFormat(QImage::Format_ARGB32);
    QImage compact(pixels.size(), QImage::Format_Indexed8);
    if (compact.isNull())
        return picture;
    ColourIndex index;
    for (int y = 0; y < pixels.height(); ++y) {
        const auto *from = reinterpret_cast<const QRgb *>(pixels.constScanLine(y));
        if (!indexRow(from, compact.scanLine(y), pixels.width(), index))
            return picture;
    }
    compact.setColorTable(index.colours());
    return compact;
}
