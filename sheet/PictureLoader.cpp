#include "PictureLoader.h"

#include <QBuffer>
#include <QImageReader>

#include <gif_lib.h>

#ifdef Q_OS_WIN
#include <QFile>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cstring>
#include <memory>
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

// Decodes the image's pixel rows, one row at a time, so that a short or
// corrupt stream is caught without allocating the declared picture.
bool decodeImage(GifFileType *gif)
{
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

bool readImage(GifFileType *gif, int index)
{
    if (index >= kPictureFrameLimit || DGifGetImageDesc(gif) == GIF_ERROR)
        return false;
    return index == 0 ? decodeImage(gif) : skipImage(gif);
}

// Walks the whole GIF stream; true when it is complete, well formed and
// within the limits. Only the first image, the one shown, is decoded.
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
            if (!readImage(gif.get(), images))
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

QString unreadable()
{
    return QStringLiteral("il file manca o non si può leggere");
}

QString tooLarge()
{
    return QStringLiteral("il file è troppo grande");
}

#ifndef Q_OS_WIN
class FileDescriptor
{
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;

    int get() const { return fd_; }

private:
    int fd_;
};

// Reads `size` bytes from the start of an ordinary file; false on an error or
// when the file turns out shorter.
bool readExactly(int fd, qint64 size, QByteArray &contents)
{
    contents.resize(static_cast<qsizetype>(size));
    qint64 done = 0;
    while (done < size) {
        const ssize_t got = ::read(fd, contents.data() + done, static_cast<size_t>(size - done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        done += got;
    }
    return true;
}
#endif

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
    // Named by its format alone, so only the GIF plug-in is loaded, not every
    // image plug-in of the system to ask each one whether it knows the bytes.
    QImageReader reader(&buffer, "gif");
    reader.setAutoDetectImageFormat(false);
    QImage picture = reader.read();
    if (picture.isNull())
        return failed(QStringLiteral("il disegno non si può leggere"));
    return {picture, QString()};
}

PictureLoad loadPicture(const QByteArray &nativePath)
{
#ifdef Q_OS_WIN
    QFile file(QFile::decodeName(nativePath));
    if (!file.open(QIODevice::ReadOnly))
        return failed(unreadable());
    if (file.size() > kPictureFileByteLimit)
        return failed(tooLarge());
    return decodePicture(file.read(kPictureFileByteLimit + 1));
#else
    // Opened by its own bytes, so a name that is not valid UTF-8 still opens,
    // and without waiting: a named pipe with no writer would otherwise block
    // the open for ever. What was opened is then checked, not the name.
    const FileDescriptor file(
        ::open(nativePath.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (file.get() < 0)
        return failed(unreadable());
    struct stat status
    {
    };
    if (::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return failed(QStringLiteral("non è un file"));
    if (status.st_size > kPictureFileByteLimit)
        return failed(tooLarge());
    QByteArray contents;
    if (!readExactly(file.get(), status.st_size, contents))
        return failed(unreadable());
    return decodePicture(contents);
#endif
}
