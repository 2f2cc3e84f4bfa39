#include "PictureFile.h"

#include <windows.h>

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
