#include "PictureFile.h"

#include <QDir>

#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>

namespace {

// The most ReadFile() is asked for at once.
constexpr qint64 kLargestRead = 1 << 30;

struct HandleCloser
{
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

FileBytes failed(const QString &why)
{
    return {QByteArray(), why};
}

bool readAll(HANDLE file, qint64 size, QByteArray &bytes)
{
    bytes.resize(static_cast<qsizetype>(size));
    qint64 done = 0;
    while (done < size) {
        DWORD got = 0;
        const auto wanted = static_cast<DWORD>(std::min(size - done, kLargestRead));
        if (!ReadFile(file, bytes.data() + done, wanted, &got, nullptr) || got == 0)
            return false;
        done += got;
    }
    return true;
}

} // namespace

FileBytes readPictureFile(const QString &path)
{
    const std::wstring name = QDir::toNativeSeparators(path).toStdWString();
    const HANDLE opened =
        CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return failed(error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                          ? QStringLiteral("il file non esiste")
                          : QStringLiteral("il file non si può leggere"));
    }
    const Handle file(opened);
    LARGE_INTEGER size{};
    if (GetFileType(opened) != FILE_TYPE_DISK || !GetFileSizeEx(opened, &size))
        return failed(QStringLiteral("non è un file"));
    if (size.QuadPart > kPictureFileLimit)
        return failed(QStringLiteral("il file è troppo grande"));
    FileBytes read;
    if (!readAll(opened, size.QuadPart, read.bytes))
        return failed(QStringLiteral("il file non si può leggere"));
    return read;
}

QByteArray readStandardInput(qint64 limit)
{
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    QByteArray bytes;
    char chunk[64 * 1024];
    while (bytes.size() <= limit) {
        DWORD got = 0;
        if (!ReadFile(input, chunk, sizeof chunk, &got, nullptr) || got == 0)
            break;
        bytes.append(chunk, got);
    }
    return bytes;
}
