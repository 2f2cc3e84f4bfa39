#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

// Builds WAV files byte by byte for the tests, truthful or lying.
struct WavShape
{
    std::uint16_t formatTag = 1; // 1 integer PCM, 3 IEEE float
    std::uint16_t channels = 2;
    std::uint32_t rate = 44100;
    std::uint16_t bitsPerSample = 16;
    // The size the data chunk claims; by default the true one.
    std::optional<std::uint32_t> declaredDataBytes;
};

// A RIFF/WAVE file of `shape` around the raw sample bytes `data`.
QByteArray wavFile(const WavShape &shape, const QByteArray &data);

// `frames` frames of a quiet 16-bit tone (little-endian), `channels` each.
QByteArray toneSamples(int frames, int channels, int rate = 44100);

// Writes `bytes` to `path`; false when it could not.
bool writeBytes(const QString &path, const QByteArray &bytes);
