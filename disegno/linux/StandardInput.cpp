#include "PictureFile.h"

#include <cerrno>
#include <unistd.h>

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
