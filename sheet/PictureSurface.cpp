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
// open-addressed table: a drawing's few colours are found at the first probe.
class ColourIndex
{
public:
    // The index of `colour`, added when new; -1 once a 257th colour turns up.
    int indexOf(QRgb colour)
    {
        if (count_ > 0 && colour == lastColour_)
            return lastIndex_;
        std::size_t slot = hash(colour);
        while (used_[slot]) {
            if (keys_[slot] == colour)
                return remember(colour, indexes_[slot]);
            slot = (slot + 1) % kSlots;
        }
        if (count_ == 256)
            return -1;
        used_[slot] = true;
        keys_[slot] = colour;
        indexes_[slot] = static_cast<unsigned char>(count_);
        colours_.append(colour);
        return remember(colour, count_++);
    }

    const QList<QRgb> &colours() const { return colours_; }

private:
    static constexpr std::size_t kSlots = 1024;

    static std::size_t hash(QRgb colour) { return (colour * 2654435761u) >> 22; }

    int remember(QRgb colour, int index)
    {
        lastColour_ = colour;
        lastIndex_ = index;
        return index;
    }

    std::array<bool, kSlots> used_{};
    std::array<QRgb, kSlots> keys_{};
    std::array<unsigned char, kSlots> indexes_{};
    QList<QRgb> colours_;
    int count_ = 0;
    QRgb lastColour_ = 0;
    int lastIndex_ = 0;
};

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
        uchar *to = compact.scanLine(y);
        for (int x = 0; x < pixels.width(); ++x) {
            const int colour = index.indexOf(from[x]);
            if (colour < 0)
                return picture;
            to[x] = static_cast<uchar>(colour);
        }
    }
    compact.setColorTable(index.colours());
    return compact;
}
