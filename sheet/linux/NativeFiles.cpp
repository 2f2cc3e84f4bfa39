#include "NativeFiles.h"

#include <QFile>

#include <cerrno>
#include <dirent.h>
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

} // namespace

QByteArray nativePath(const QString &path)
{
    return QFile::encodeName(path);
}

QString fromNativePath(const QByteArray &native)
{
    return QFile::decodeName(native);
}

std::vector<QByteArray> folderEntries(const QByteArray &folder)
{
    std::vector<QByteArray> names;
    DIR *dir = ::opendir(folder.constData());
    if (dir == nullptr)
        return names;
    while (const dirent *entry = ::readdir(dir))
        names.emplace_back(entry->d_name);
    ::closedir(dir);
    return names;
}

bool isOrdinaryVisibleFile(const QByteArray &folder, const QByteArray &name)
{
    if (name.startsWith('.'))
        return false;
    struct stat status
    {
    };
    const QByteArray path = folder + '/' + name;
    return ::stat(path.constData(), &status) == 0 && S_ISREG(status.st_mode);
}

// Opened by its own bytes, so a name that is not valid UTF-8 still opens,
// and without waiting: a named pipe with no writer would otherwise block the
// open for ever. What was opened is then checked, not the name.
FileRead readOrdinaryFile(const QByteArray &path, qint64 limit, QByteArray &contents)
{
    const FileDescriptor file(
        ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (file.get() < 0)
        return FileRead::Unreadable;
    struct stat status
    {
    };
    if (::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return FileRead::NotAFile;
    if (status.st_size > limit)
        return FileRead::TooLarge;
    if (!readExactly(file.get(), status.st_size, contents))
        return FileRead::Unreadable;
    return FileRead::Read;
}
