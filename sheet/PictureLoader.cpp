#include "PictureLoader.h"

#include "NativeFiles.h"

#include <QBuffer>
#include <QImageReader>
#include <QList>

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <system_error>
#include <thread>
#include <vector>

namespace {

struct MemoryReader
{
    const QByteArray &data;
    qsizetype offset = 0;
};

int readFromMemory(GifFileType *gif, GifByteType *buffer, int length)
{
    auto *reader = static_cast<MemoryReader *>(gif->UserData);
    const qsizetype available = reader->data.size() - reader->offset;
    const int count = static_cast<int>(std::min<qsizetype>(length, available));
    std::memcpy(buffer, reader->data.constData() + reader->offset, static_cast<size_t>(count));
    reader->offset += count;
    return count;
}

struct GifCloser
{
    void operator()(GifFileType *gif) const
    {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};

bool fitsLimit(qint64 width, qint64 height)
{
    return width > 0 && height > 0 && width * height <= kPicturePixelLimit;
}

// What the walk over a GIF learns of its first image. When that image is
// plain (it covers the whole picture, is not interlaced and has a colour
// map), its pixels are kept as decoded and become the picture itself, so the
// drawing is decoded once. Anything else is left to Qt's GIF reader.
struct FirstImage
{
    QImage indexes;       // the plain image's colour indexes, else null
    QList<QRgb> colours;  // its colour table, 256 entries
    int transparent = -1; // the transparent index of the extension before it
    bool oddExtension = false;
};

void noteControlBlock(const GifByteType *block, FirstImage &first)
{
    // A control block shorter than four bytes leaves the transparency as
    // Qt's reader would see it undefined: Qt is then left to decide.
    if (block[0] < 4) {
        first.oddExtension = true;
        return;
    }
    first.transparent = (block[1] & 0x01) != 0 ? block[4] : -1;
}

bool readExtension(GifFileType *gif, FirstImage *first)
{
    int code = 0;
    GifByteType *block = nullptr;
    if (DGifGetExtension(gif, &code, &block) == GIF_ERROR)
        return false;
    if (first != nullptr && code == GRAPHICS_EXT_FUNC_CODE && block != nullptr)
        noteControlBlock(block, *first);
    while (block != nullptr) {
        if (DGifGetExtensionNext(gif, &block) == GIF_ERROR)
            return false;
    }
    return true;
}

bool isPlain(const GifFileType *gif, const FirstImage &first)
{
    const GifImageDesc &desc = gif->Image;
    return !first.oddExtension && desc.Left == 0 && desc.Top == 0 && desc.Width == gif->SWidth &&
           desc.Height == gif->SHeight && !desc.Interlace &&
           (desc.ColorMap != nullptr || gif->SColorMap != nullptr);
}

// The colours as Qt's GIF reader gives them: an index past the map reads as
// white, see-through when the drawing has a transparent colour, and the
// transparent index keeps its colour without its opacity.
QList<QRgb> colourTable(const ColorMapObject &map, int transparent)
{
    constexpr QRgb kSeeThroughWhite = 0x00FFFFFF;
    QList<QRgb> colours(256, transparent >= 0 ? kSeeThroughWhite : qRgb(255, 255, 255));
    const int count = std::min(map.ColorCount, 256);
    for (int i = 0; i < count; ++i)
        colours[i] = qRgb(map.Colors[i].Red, map.Colors[i].Green, map.Colors[i].Blue);
    if (transparent >= 0)
        colours[transparent] &= kSeeThroughWhite;
    return colours;
}

// Decodes the first image's pixel rows, one row at a time, so that a short or
// corrupt stream is caught before the rows are used. A plain image is decoded
// straight into the picture; any other into one reused row.
bool decodeImage(GifFileType *gif, FirstImage &first)
{
    const GifImageDesc &desc = gif->Image;
    if (!fitsLimit(desc.Width, desc.Height))
        return false;
    if (isPlain(gif, first)) {
        QImage indexes(desc.Width, desc.Height, QImage::Format_Indexed8);
        if (indexes.isNull())
            return false;
        for (int y = 0; y < desc.Height; ++y) {
            if (DGifGetLine(gif, indexes.scanLine(y), desc.Width) == GIF_ERROR)
                return false;
        }
        const ColorMapObject &map = desc.ColorMap != nullptr ? *desc.ColorMap : *gif->SColorMap;
        first.colours = colourTable(map, first.transparent);
        first.indexes = std::move(indexes);
        return true;
    }
    std::vector<GifPixelType> row(static_cast<size_t>(desc.Width));
    for (int y = 0; y < desc.Height; ++y) {
        if (DGifGetLine(gif, row.data(), desc.Width) == GIF_ERROR)
            return false;
    }
    return true;
}

// Walks over the image's compressed data blocks without decoding them.
bool skipImage(GifFileType *gif)
{
    int codeSize = 0;
    GifByteType *block = nullptr;
    if (DGifGetCode(gif, &codeSize, &block) == GIF_ERROR)
        return false;
    while (block != nullptr) {
        if (DGifGetCodeNext(gif, &block) == GIF_ERROR)
            return false;
    }
    return true;
}

bool readImage(GifFileType *gif, int index, FirstImage &first)
{
    if (index >= kPictureFrameLimit || DGifGetImageDesc(gif) == GIF_ERROR)
        return false;
    return index == 0 ? decodeImage(gif, first) : skipImage(gif);
}

// Walks the whole GIF stream; true when it is complete, well formed and
// within the limits. Only the first image, the one shown, is decoded.
bool walkGif(const QByteArray &contents, FirstImage &first)
{
    MemoryReader reader{contents};
    int error = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(DGifOpen(&reader, readFromMemory, &error));
    if (!gif || !fitsLimit(gif->SWidth, gif->SHeight))
        return false;
    int images = 0;
    for (;;) {
        GifRecordType record = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif.get(), &record) == GIF_ERROR)
            return false;
        switch (record) {
        case IMAGE_DESC_RECORD_TYPE:
            if (!readImage(gif.get(), images, first))
                return false;
            ++images;
            break;
        case EXTENSION_RECORD_TYPE:
            // Only the extensions before the first image shape it.
            if (!readExtension(gif.get(), images == 0 ? &first : nullptr))
                return false;
            break;
        case TERMINATE_RECORD_TYPE:
            return images > 0;
        default:
            return false;
        }
    }
}

QImage readWithQt(const QByteArray &contents)
{
    QBuffer buffer;
    buffer.setData(contents);
    buffer.open(QIODevice::ReadOnly);
    // Named by its format alone, so only the GIF plug-in is loaded, not every
    // image plug-in of the system to ask each one whether it knows the bytes.
    QImageReader reader(&buffer, "gif");
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

PictureLoad failed(const QString &why)
{
    return {QImage(), why};
}

QString unreadable()
{
    return QStringLiteral("il file manca o non si può leggere");
}

QString tooLarge()
{
    return QStringLiteral("il file è troppo grande");
}

} // namespace

PictureLoad decodePicture(const QByteArray &contents)
{
    if (contents.isEmpty())
        return failed(QStringLiteral("il file è vuoto"));
    if (!contents.startsWith("GIF87a") && !contents.startsWith("GIF89a"))
        return failed(QStringLiteral("non è un disegno GIF"));
    FirstImage first;
    if (!walkGif(contents, first))
        return failed(QStringLiteral("il disegno è rovinato, incompleto o troppo grande"));
    QImage picture = std::move(first.indexes);
    if (!picture.isNull())
        picture.setColorTable(first.colours);
    else
        picture = readWithQt(contents);
    if (picture.isNull())
        return failed(QStringLiteral("il disegno non si può leggere"));
    return {picture, QString()};
}

PictureLoad loadPicture(const QByteArray &nativePath)
{
    QByteArray contents;
    switch (readOrdinaryFile(nativePath, kPictureFileByteLimit, contents)) {
    case FileRead::Unreadable:
        return failed(unreadable());
    case FileRead::NotAFile:
        return failed(QStringLiteral("non è un file"));
    case FileRead::TooLarge:
        return failed(tooLarge());
    case FileRead::Read:
        break;
    }
    return decodePicture(contents);
}

std::future<PictureLoad> loadPictureAside(const QByteArray &nativePath)
{
    std::promise<PictureLoad> promise;
    std::future<PictureLoad> load = promise.get_future();
    try {
        std::thread([nativePath, promise = std::move(promise)]() mutable {
            promise.set_value(loadPicture(nativePath));
        }).detach();
    } catch (const std::system_error &) {
        std::promise<PictureLoad> now;
        now.set_value(loadPicture(nativePath));
        return now.get_future();
    }
    return load;
}

PictureLoad takeWithin(std::future<PictureLoad> &pending, std::chrono::milliseconds bound)
{
    if (!pending.valid() || pending.wait_for(bound) != std::future_status::ready)
        return failed(QStringLiteral("il file non risponde"));
    return pending.get();
}
