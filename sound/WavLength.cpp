#include "WavLength.h"

#include <QtEndian>

#include <algorithm>
#include <cstdint>

namespace {

constexpr int maxChannels = 8;
constexpr std::uint32_t minRate = 1000;
constexpr std::uint32_t maxRate = 192000;

// Format tags whose frames all have the same size, so that the rate and the
// frame size give the byte rate whatever the header's own figure says.
constexpr std::uint16_t pcm = 0x0001;
constexpr std::uint16_t ieeeFloat = 0x0003;
constexpr std::uint16_t extensible = 0xFFFE;

std::uint16_t word(QByteArrayView bytes, qsizetype at)
{
    return qFromLittleEndian<std::uint16_t>(bytes.data() + at);
}

std::uint32_t dword(QByteArrayView bytes, qsizetype at)
{
    return qFromLittleEndian<std::uint32_t>(bytes.data() + at);
}

// Bytes a second of the format chunk `format` (at least 16 bytes), or 0 for
// a shape that is not played.
std::uint64_t bytesPerSecond(QByteArrayView format)
{
    const std::uint16_t tag = word(format, 0);
    const std::uint16_t channels = word(format, 2);
    const std::uint32_t rate = dword(format, 4);
    const std::uint32_t declared = dword(format, 8);
    const std::uint16_t frameBytes = word(format, 12);
    if (channels < 1 || channels > maxChannels || rate < minRate || rate > maxRate)
        return 0;
    if ((tag == pcm || tag == ieeeFloat || tag == extensible) && frameBytes > 0)
        return std::uint64_t(rate) * frameBytes;
    return declared;
}

} // namespace

std::optional<std::chrono::microseconds> wavLength(QByteArrayView head, qint64 fileSize)
{
    constexpr qsizetype chunkHeader = 8;
    if (head.size() < 12 || head.first(4) != "RIFF" || head.sliced(8, 4) != "WAVE")
        return std::nullopt;
    std::uint64_t rate = 0;
    qsizetype at = 12;
    while (at + chunkHeader <= head.size()) {
        const QByteArrayView id = head.sliced(at, 4);
        const std::uint32_t size = dword(head, at + 4);
        const qsizetype body = at + chunkHeader;
        if (id == "fmt ") {
            if (size < 16 || body + 16 > head.size())
                return std::nullopt;
            rate = bytesPerSecond(head.sliced(body, 16));
        } else if (id == "data") {
            if (rate == 0)
                return std::nullopt;
            const std::uint64_t present =
                fileSize > body ? std::min<std::uint64_t>(size, std::uint64_t(fileSize - body)) : 0;
            if (present == 0)
                return std::nullopt;
            return std::chrono::microseconds(present * 1'000'000 / rate);
        }
        // Chunks are padded to an even size.
        at = body + qsizetype(size) + qsizetype(size & 1);
    }
    return std::nullopt;
}
