#include "SvgCheck.h"

#include <QUrl>
#include <QXmlStreamReader>

#include <zlib.h>

#include <array>

namespace {

QStringView localName(QStringView qualified)
{
    return qualified.sliced(qualified.lastIndexOf(QLatin1Char(':')) + 1);
}

bool isPictureData(const QByteArray &data)
{
    return data.startsWith("\x89PNG\r\n\x1a\n") || data.startsWith("\xff\xd8\xff") ||
           data.startsWith("GIF8") || data.startsWith("BM");
}

// The payload of a data: link, decoded as Qt's SVG renderer decodes it.
std::optional<QByteArray> dataPayload(const QString &link)
{
    const QUrl url(link);
    if (url.scheme() != QLatin1String("data") || !url.host().isEmpty())
        return std::nullopt;
    QByteArray data = QByteArray::fromPercentEncoding(
        url.url(QUrl::FullyEncoded | QUrl::RemoveScheme).toLatin1());
    const qsizetype comma = data.indexOf(',');
    if (comma < 0)
        return std::nullopt;
    const QByteArray header = data.left(comma).trimmed();
    data.remove(0, comma + 1);
    if (header.toLower().endsWith(";base64"))
        return QByteArray::fromBase64(data);
    return data;
}

bool standsAlone(const QString &link)
{
    const std::optional<QByteArray> payload = dataPayload(link);
    return payload && isPictureData(*payload);
}

} // namespace

QString svgOutsideReference(const QByteArray &svg)
{
    // Without namespace processing, so that a link whose prefix is not
    // declared is still seen.
    QXmlStreamReader xml(svg);
    xml.setNamespaceProcessing(false);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement ||
            localName(xml.name()) != QLatin1String("image"))
            continue;
        for (const QXmlStreamAttribute &attribute : xml.attributes()) {
            if (localName(attribute.name()) == QLatin1String("href") &&
                !standsAlone(attribute.value().toString()))
                return QStringLiteral("l'SVG prende un'immagine da un altro file, che non apro");
        }
    }
    return {};
}

std::optional<QByteArray> gunzip(const QByteArray &bytes, qsizetype limit)
{
    if (!bytes.startsWith("\x1f\x8b"))
        return std::nullopt;
    z_stream stream{};
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK)
        return std::nullopt;
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(bytes.constData()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    QByteArray out;
    std::array<char, 64 * 1024> chunk{};
    int status = Z_OK;
    while (status == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef *>(chunk.data());
        stream.avail_out = static_cast<uInt>(chunk.size());
        status = inflate(&stream, Z_NO_FLUSH);
        out.append(chunk.data(), static_cast<qsizetype>(chunk.size() - stream.avail_out));
        if (out.size() > limit)
            status = Z_MEM_ERROR;
    }
    inflateEnd(&stream);
    if (status != Z_STREAM_END)
        return std::nullopt;
    return out;
}
