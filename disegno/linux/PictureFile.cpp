#include "PictureFile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

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

FileBytes failed(const QString &why)
{
    return {QByteArray(), why};
}

bool readAll(int fd, qint64 size, QByteArray &bytes)
{
    bytes.resize(static_cast<qsizetype>(size));
    qint64 done = 0;
    while (done < size) {
        const ssize_t got = ::read(fd, bytes.data() + done, static_cast<size_t>(size - done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        done += got;
    }
    return true;
}

} // namespace

FileBytes readPictureFile(const QString &path)
{
    const FileDescriptor file(
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (file.get() < 0)
        return failed(errno == ENOENT ? QStringLiteral("il file non esiste")
                                      : QStringLiteral("il file non si può leggere"));
    struct stat status
    {
    };
    if (::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return failed(QStringLiteral("non è un file"));
    if (status.st_size > kPictureFileLimit)
        return failed(QStringLiteral("il file è troppo grande"));
    FileBytes read;
    if (!readAll(file.get(), status.st_size, read.bytes))
        return failed(QStringLiteral("il file non si può leggere"));
    return read;
}

QByteArray readStandardInput(qint64 limit)
{
    QByteArray bytes;
    char chunk[64 * 1024];
    while (bytes.size() <= limit) {
        const ssize_t got = ::read(STDIN_FILENO, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        bytes.append(chunk, got);
    }
    return bytes;
}
