#include "PictureLoader.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include <gif_lib.h>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cstring>
#include <memory>
#include <vector>

namespace {

// A file larger than this is no drawing of ours.
constexpr qint64 kFileByteLimit = 64 * 1024 * 1024;

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
    return width > 0 && height > 0 && width * height * 4 <= kPictureByteLimit;
}

bool skipExtension(GifFileType *gif)
{
    int code = 0;
    GifByteType *block = nullptr;
    if (DGifGetExtension(gif, &code, &block) == GIF_ERROR)
        return false;
    while (block != nullptr) {
        if (DGifGetExtensionNext(gif, &block) == GIF_ERROR)
            return false;
    }
    return true;
}

// Decodes every image's pixel rows, one row at a time, so that a short or
// corrupt stream is caught without allocating the declared picture.
bool readImage(GifFileType *gif)
{
    if (DGifGetImageDesc(gif) == GIF_ERROR)
        return false;
    const GifImageDesc &desc = gif->Image;
    if (!fitsLimit(desc.Width, desc.Height))
        return false;
    std::vector<GifPixelType> row(static_cast<size_t>(desc.Width));
    for (int y = 0; y < desc.Height; ++y) {
        if (DGifGetLine(gif, row.data(), desc.Width) == GIF_ERROR)
            return false;
    }
    return true;
}

// Walks the whole GIF stream; true when it is complete and well formed.
bool isCompleteGif(const QByteArray &contents)
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
            if (!readImage(gif.get()))
                return false;
            ++images;
            break;
        case EXTENSION_RECORD_TYPE:
            if (!skipExtension(gif.get()))
                return false;
            break;
        case TERMINATE_RECORD_TYPE:
            return images > 0;
        default:
            return false;
        }
    }
}

PictureLoad failed(const QString &why)
{
    return {QImage(), why};
}

} // namespace

PictureLoad decodePicture(const QByteArray &contents)
{
    if (contents.isEmpty())
        return failed(QStringLiteral("il file è vuoto"));
    if (!contents.startsWith("GIF87a") && !contents.startsWith("GIF89a"))
        return failed(QStringLiteral("non è un disegno GIF"));
    if (!isCompleteGif(contents))
        return failed(QStringLiteral("il disegno è rovinato, incompleto o troppo grande"));
    QBuffer buffer;
    buffer.setData(contents);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "gif");
    QImage picture = reader.read();
    if (picture.isNull())
        return failed(QStringLiteral("il disegno non si può leggere"));
    return {picture, QString()};
}

PictureLoad loadPicture(const QByteArray &nativePath)
{
    QFile file;
#ifdef Q_OS_WIN
    file.setFileName(QFile::decodeName(nativePath));
    if (!file.open(QIODevice::ReadOnly))
        return failed(QStringLiteral("il file manca o non si può leggere"));
#else
    // Opened by its own bytes: a name that is not valid UTF-8 still opens.
    const int fd = ::open(nativePath.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return failed(QStringLiteral("il file manca o non si può leggere"));
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return failed(QStringLiteral("il file manca o non si può leggere"));
    }
    struct stat status
    {
    };
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))
        return failed(QStringLiteral("non è un file"));
#endif
    if (file.size() > kFileByteLimit)
        return failed(QStringLiteral("il file è troppo grande"));
    return decodePicture(file.read(kFileByteLimit + 1));
}
