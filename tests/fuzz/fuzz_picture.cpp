// libFuzzer target: file contents -> the picture loader -> the drawing box's
// two images -> one fill at a point taken from the input's last four bytes.

#include "AreaFill.h"
#include "PictureLoader.h"
#include "PictureSurface.h"

#include <QCoreApplication>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>

namespace {

// A start point from two little-endian 16-bit values, one pixel beyond each
// edge included so that starts outside the picture are tried too.
int coordinate(const std::uint8_t *bytes, int extent)
{
    const int value = bytes[0] | (bytes[1] << 8);
    return value % (extent + 2) - 1;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // Qt finds its GIF plug-in through the application's library paths.
    static const auto application = std::make_unique<QCoreApplication>(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray contents =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    PictureLoad load = decodePicture(contents);
    if (!load.ok() || size < 4)
        return 0;
    const QImage kept = compactCopy(load.picture);
    QImage surface = colouringSurface(std::move(load.picture));
    if (kept.size() != surface.size() || surface.format() != QImage::Format_RGB32)
        __builtin_trap();
    const std::uint8_t *point = data + size - 4;
    const int x = coordinate(point, surface.width());
    const int y = coordinate(point + 2, surface.height());
    const QRect painted = fillArea(surface, x, y, qRgb(255, 0, 0));
    if (!painted.isNull() && !surface.rect().contains(painted))
        __builtin_trap();
    return 0;
}
