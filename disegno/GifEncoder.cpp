#include "GifEncoder.h"

#include <gif_lib.h>

#include <memory>
#include <vector>

namespace {

constexpr GifPixelType kBlack = 0;
constexpr GifPixelType kWhite = 1;

int appendToBuffer(GifFileType *gif, const GifByteType *bytes, int length)
{
    auto *buffer = static_cast<QByteArray *>(gif->UserData);
    buffer->append(reinterpret_cast<const char *>(bytes), length);
    return length;
}

struct MapFreer
{
    void operator()(ColorMapObject *map) const { GifFreeMapObject(map); }
};

struct GifCloser
{
    void operator()(GifFileType *gif) const
    {
        int error = 0;
        EGifCloseFile(gif, &error);
    }
};

bool writeRows(GifFileType *gif, const QImage &rgb)
{
    std::vector<GifPixelType> row(static_cast<size_t>(rgb.width()));
    for (int y = 0; y < rgb.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            row[static_cast<size_t>(x)] = (line[x] & 0x00FFFFFFu) == 0 ? kBlack : kWhite;
        if (EGifPutLine(gif, row.data(), rgb.width()) == GIF_ERROR)
            return false;
    }
    return true;
}

} // namespace

QByteArray encodeTwoColourGif(const QImage &page)
{
    if (page.isNull())
        return {};
    const QImage rgb = page.convertToFormat(QImage::Format_RGB32);
    const GifColorType colours[] = {{0, 0, 0}, {255, 255, 255}};
    const std::unique_ptr<ColorMapObject, MapFreer> map(GifMakeMapObject(2, colours));
    QByteArray bytes;
    int error = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(EGifOpen(&bytes, appendToBuffer, &error));
    if (!gif || !map)
        return {};
    if (EGifPutScreenDesc(gif.get(), rgb.width(), rgb.height(), 1, kWhite, map.get()) ==
            GIF_ERROR ||
        EGifPutImageDesc(gif.get(), 0, 0, rgb.width(), rgb.height(), false, nullptr) == GIF_ERROR ||
        !writeRows(gif.get(), rgb))
        return {};
    if (EGifCloseFile(gif.release(), &error) == GIF_ERROR)
        return {};
    return bytes;
}
