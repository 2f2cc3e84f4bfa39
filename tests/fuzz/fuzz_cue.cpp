// libFuzzer target: file contents -> the cue checks -> the WAV decoder, chunk
// by chunk to the end of the data, as the player reads a cue; and the length
// the Windows player reads from the header.

#include "CueChecks.h"
#include "CueFile.h"
#include "WavLength.h"

#include <QCoreApplication>
#include <QString>

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

// The input lives in one in-memory file, rewritten for every run and opened
// by the decoder through its /proc name like any cue file on disk.
class MemoryFile
{
public:
    MemoryFile() : fd_(memfd_create("cue.wav", MFD_CLOEXEC))
    {
        if (fd_ < 0)
            std::abort();
    }
    ~MemoryFile() { ::close(fd_); }
    MemoryFile(const MemoryFile &) = delete;
    MemoryFile &operator=(const MemoryFile &) = delete;

    void replace(const std::uint8_t *data, std::size_t size) const
    {
        if (::ftruncate(fd_, 0) != 0 || ::pwrite(fd_, data, size, 0) != ssize_t(size))
            std::abort();
    }

    std::string path() const { return "/proc/self/fd/" + std::to_string(fd_); }

private:
    int fd_;
};

const MemoryFile &memoryFile()
{
    static const MemoryFile file;
    return file;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static const auto application = std::make_unique<QCoreApplication>(*argc, *argv);
    memoryFile();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // The name tests see the input's first bytes as a path, NUL bytes and all.
    const QString name = QString::fromUtf8(reinterpret_cast<const char *>(data),
                                           qsizetype(std::min<std::size_t>(size, 64)));
    if (endsInWav(name) && name.size() < 3)
        __builtin_trap();
    isOrdinaryFile(name);
    const auto bytes = QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size));
    if (const auto length = wavLength(bytes, qint64(size)); length && length->count() < 0)
        __builtin_trap();

    const MemoryFile &file = memoryFile();
    file.replace(data, size);
    if (!isOrdinaryFile(QString::fromStdString(file.path())))
        __builtin_trap();
    CueFile cue(file.path());
    if (!cue.isOpen())
        return 0;
    std::vector<std::byte> chunk;
    for (cue.readChunk(chunk); !chunk.empty(); cue.readChunk(chunk)) {
        if (chunk.size() % cue.bytesPerFrame() != 0)
            __builtin_trap();
    }
    return 0;
}
