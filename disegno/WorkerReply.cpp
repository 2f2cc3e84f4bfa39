#include "WorkerReply.h"

#include "PageSteps.h"

#include <QtEndian>

#include <cstring>

namespace {

constexpr char kMagic[] = "TGL1";
constexpr qsizetype kMagicBytes = 4;
constexpr qsizetype kMostRefusalBytes = 2048;
constexpr qsizetype kMostRefusalCharacters = 400;

void appendNumber(QByteArray &out, quint32 value)
{
    const quint32 big = qToBigEndian(value);
    out.append(reinterpret_cast<const char *>(&big), sizeof big);
}

// Reads a reply front to back; any read past the end, or of more than it
// allows, spoils it.
class Cursor
{
public:
    explicit Cursor(const QByteArray &bytes) : bytes_(bytes) {}

    bool ok() const { return ok_; }
    bool atEnd() const { return at_ == bytes_.size(); }
    void spoil() { ok_ = false; }

    quint32 number()
    {
        const QByteArray raw = take(sizeof(quint32));
        return ok_ ? qFromBigEndian<quint32>(raw.constData()) : 0;
    }

    QByteArray take(qsizetype count, qsizetype most = kMostReplyBytes)
    {
        if (!ok_ || count > most || count > bytes_.size() - at_) {
            spoil();
            return {};
        }
        const QByteArray part = bytes_.mid(at_, count);
        at_ += count;
        return part;
    }

private:
    const QByteArray &bytes_;
    qsizetype at_ = 0;
    bool ok_ = true;
};

QString printable(const QByteArray &utf8)
{
    QString text;
    for (const QChar c : QString::fromUtf8(utf8))
        text.append(c.isPrint() ? c : QChar(QLatin1Char(' ')));
    return text.left(kMostRefusalCharacters).trimmed();
}

QImage previewFrom(Cursor &cursor)
{
    const quint32 width = cursor.number();
    const quint32 height = cursor.number();
    if (width == 0 && height == 0)
        return {};
    if (width < 1 || height < 1 || width > quint32(kPageBox.width()) ||
        height > quint32(kPageBox.height())) {
        cursor.spoil();
        return {};
    }
    QImage preview(int(width), int(height), QImage::Format_RGB32);
    const QByteArray pixels = cursor.take(qsizetype(width) * height * 4);
    if (!cursor.ok())
        return {};
    for (int y = 0; y < preview.height(); ++y)
        std::memcpy(preview.scanLine(y), pixels.constData() + qsizetype(y) * width * 4, width * 4);
    return preview;
}

} // namespace

QByteArray encodeReply(const Conversion &conversion)
{
    QByteArray out(kMagic, kMagicBytes);
    appendNumber(out, quint32(conversion.gif.size()));
    out.append(conversion.gif);
    const QByteArray refusal = conversion.refusal.toUtf8();
    appendNumber(out, quint32(refusal.size()));
    out.append(refusal);
    const QImage preview = conversion.preview.convertToFormat(QImage::Format_RGB32);
    appendNumber(out, quint32(preview.width()));
    appendNumber(out, quint32(preview.height()));
    for (int y = 0; y < preview.height(); ++y)
        out.append(reinterpret_cast<const char *>(preview.constScanLine(y)),
                   qsizetype(preview.width()) * 4);
    return out;
}

std::optional<Conversion> decodeReply(const QByteArray &bytes)
{
    Cursor cursor(bytes);
    if (cursor.take(kMagicBytes) != QByteArray(kMagic, kMagicBytes))
        return std::nullopt;
    Conversion conversion;
    conversion.gif = cursor.take(cursor.number());
    conversion.refusal = printable(cursor.take(cursor.number(), kMostRefusalBytes));
    conversion.preview = previewFrom(cursor);
    if (!cursor.ok() || !cursor.atEnd() || conversion.gif.isEmpty() == conversion.refusal.isEmpty())
        return std::nullopt;
    return conversion;
}
