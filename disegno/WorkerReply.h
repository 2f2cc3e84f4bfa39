#pragma once

#include "Conversion.h"

#include <QByteArray>

#include <optional>

// What the worker process hands back through its standard output: the page
// as a GIF or the reason for refusing the picture, and the picture's preview
// as bare pixels. Nothing in it needs a decoder to read.

// More than this is no reply of a worker.
inline constexpr qsizetype kMostReplyBytes = 4 * 1024 * 1024;

QByteArray encodeReply(const Conversion &conversion);

// The reply in `bytes`, or nothing when they are not one: every length and
// size is checked against what a reply can hold, and the reason comes back
// as printable text of a few lines at most.
std::optional<Conversion> decodeReply(const QByteArray &bytes);
