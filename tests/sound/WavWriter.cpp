#include "WavWriter.h"

#include <QFile>
#include <QtEndian>

#include <cmath>
#include <numbers>

namespace {

template <typename T> void append(QByteArray &bytes, T value)
{
    char raw[sizeof(T)];
    qToLittleEndian(value, raw);
    bytes.append(raw, sizeof(T));
}

} // namespace

QByteArray wavFile(const WavShape &shape, const QByteArray &data)
{
    const std::uint16_t blockAlign = shape.channels * (shape.bitsPerSample / 8);
    const std::uint32_t dataBytes =
        shape.declaredDataBytes.value_or(static_cast<std::uint32_t>(data.size()));
    QByteArray bytes("RIFF");
    append<std::uint32_t>(bytes, 36 + dataBytes);
    bytes.append("WAVEfmt ");
    append<std::uint32_t>(bytes, 16);
    append<std::uint16_t>(bytes, shape.formatTag);
    append<std::uint16_t>(bytes, shape.channels);
    append<std::uint32_t>(bytes, shape.rate);
    append<std::uint32_t>(bytes, shape.rate * blockAlign);
    append<std::uint16_t>(bytes, blockAlign);
    append<std::uint16_t>(bytes, shape.bitsPerSample);
    bytes.append("data");
    append<std::uint32_t>(bytes, dataBytes);
    return bytes + data;
}

QByteArray toneSamples(int frames, int channels, int rate)
{
    QByteArray bytes;
    for (int frame = 0; frame < frames; ++frame) {
        const double phase = 2.0 * std::numbers::pi * 660.0 * frame / rate;
        const auto sample = static_cast<std::int16_t>(std::lround(8000.0 * std::sin(phase)));
        for (int channel = 0; channel < channels; ++channel)
            append<std::int16_t>(bytes, sample);
    }
    return bytes;
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
