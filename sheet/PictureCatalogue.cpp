#include "PictureCatalogue.h"

#include "NativeFiles.h"

#include <QStringDecoder>

#include <algorithm>

namespace {

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The run of digits or of other characters that starts at `from`.
QStringView runAt(const QString &text, qsizetype from)
{
    const bool digits = isDigit(text.at(from));
    qsizetype end = from;
    while (end < text.size() && isDigit(text.at(end)) == digits)
        ++end;
    return QStringView(text).mid(from, end - from);
}

int compareNumbers(QStringView a, QStringView b)
{
    while (a.size() > 1 && a.front() == QLatin1Char('0'))
        a = a.mid(1);
    while (b.size() > 1 && b.front() == QLatin1Char('0'))
        b = b.mid(1);
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return a.compare(b);
}

} // namespace

bool matchesPicturePattern(const QByteArray &nativeName)
{
    static constexpr char kSuffix[] = ".gif";
    constexpr qsizetype kLength = sizeof(kSuffix) - 1;
    return nativeName.size() > kLength && nativeName.right(kLength).toLower() == kSuffix;
}

QString displayName(const QByteArray &nativeName)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8(nativeName);
    if (!utf8.hasError())
        return decoded;
    QStringDecoder windows(QStringDecoder::Latin1);
    QString fallback = windows(nativeName);
    // The Windows-1252 letters that Latin-1 leaves as control codes.
    static const char16_t kHigh[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    for (QChar &c : fallback) {
        if (c.unicode() >= 0x80 && c.unicode() < 0xA0)
            c = QChar(kHigh[c.unicode() - 0x80]);
        else if (c.unicode() < 0x20)
            c = QChar(0xFFFD);
    }
    return fallback;
}

int naturalCompare(const QString &a, const QString &b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        const QStringView runA = runAt(a, i);
        const QStringView runB = runAt(b, j);
        const bool numbers = isDigit(runA.front()) && isDigit(runB.front());
        const int order =
            numbers ? compareNumbers(runA, runB) : runA.compare(runB, Qt::CaseInsensitive);
        if (order != 0)
            return order;
        i += runA.size();
        j += runB.size();
    }
    if (i < a.size() || j < b.size())
        return i < a.size() ? 1 : -1;
    return a.compare(b); // equal but for case or leading zeros: a stable tie-break
}

std::vector<CatalogueEntry> listPictures(const QByteArray &folder)
{
    std::vector<CatalogueEntry> entries;
    for (const QByteArray &name : folderEntries(folder)) {
        if (matchesPicturePattern(name) && isOrdinaryVisibleFile(folder, name))
            entries.push_back({name, displayName(name)});
    }
    std::sort(entries.begin(), entries.end(), [](const auto &a, const auto &b) {
        const int order = naturalCompare(a.displayName, b.displayName);
        return order != 0 ? order < 0 : a.nativeName < b.nativeName;
    });
    return entries;
}
