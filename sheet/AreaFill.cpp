#include "AreaFill.h"

#include <algorithm>
#include <bit>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

constexpr uint32_t rgbMask = 0x00FFFFFFu;
constexpr uint32_t opaque = 0xFF000000u;
constexpr int group = 8;

// A run of painted pixels on row `y`, from `left` to `right` inclusive, whose
// neighbouring row `y + dy` has still to be searched. The pixels just outside
// both ends of a span, on its own row, are always black or painted.
struct Span
{
    int y;
    int left;
    int right;
    int dy;
};

void prefetch([[maybe_unused]] const void *address)
{
#if defined(__GNUC__)
    __builtin_prefetch(address);
#endif
}

// Black, or painted already: `paint` is the fill colour with full alpha.
bool isStop(uint32_t pixel, uint32_t paint)
{
    return (pixel & rgbMask) == 0 || pixel == paint;
}

#ifdef __SSE2__
// Eight flags, one for each 32-bit lane that is all ones, `low` first.
unsigned flagsOf(__m128i low, __m128i high)
{
    return unsigned(_mm_movemask_ps(_mm_castsi128_ps(low))) |
           unsigned(_mm_movemask_ps(_mm_castsi128_ps(high))) << 4;
}

// One flag for each of the eight pixels from `at` on that is a stop.
unsigned stopFlags(const uint32_t *at, uint32_t paint)
{
    const __m128i mask = _mm_set1_epi32(int(rgbMask));
    const __m128i zero = _mm_setzero_si128();
    const __m128i painted = _mm_set1_epi32(int(paint));
    const auto *const from = reinterpret_cast<const __m128i *>(at);
    const __m128i low = _mm_loadu_si128(from);
    const __m128i high = _mm_loadu_si128(from + 1);
    const __m128i stopLow = _mm_or_si128(_mm_cmpeq_epi32(_mm_and_si128(low, mask), zero),
                                         _mm_cmpeq_epi32(low, painted));
    const __m128i stopHigh = _mm_or_si128(_mm_cmpeq_epi32(_mm_and_si128(high, mask), zero),
                                          _mm_cmpeq_epi32(high, painted));
    return flagsOf(stopLow, stopHigh);
}
#endif

// The first stop from `x` on, or `width`.
int nextStop(const uint32_t *line, int x, int width, uint32_t paint)
{
#ifdef __SSE2__
    for (; x + group <= width; x += group) {
        const unsigned flags = stopFlags(line + x, paint);
        if (flags != 0)
            return x + std::countr_zero(flags);
    }
#endif
    while (x < width && !isStop(line[x], paint))
        ++x;
    return x;
}

// The first pixel from `x` on that equals `value`, or `width`.
int nextEqual(const uint32_t *line, int x, int width, uint32_t value)
{
#ifdef __SSE2__
    const __m128i wanted = _mm_set1_epi32(int(value));
    for (; x + group <= width; x += group) {
        const auto *const from = reinterpret_cast<const __m128i *>(line + x);
        const __m128i low = _mm_cmpeq_epi32(_mm_loadu_si128(from), wanted);
        const __m128i high = _mm_cmpeq_epi32(_mm_loadu_si128(from + 1), wanted);
        const unsigned flags = flagsOf(low, high);
        if (flags != 0)
            return x + std::countr_zero(flags);
    }
#endif
    while (x < width && line[x] != value)
        ++x;
    return x;
}

// Paints `count` pixels, at most eight, from `at` on, as a blend of a group of
// eight that ends inside the row: a run too short for a loop to pay.
void paintFew(uint32_t *at, int count, uint32_t paint)
{
#ifdef __SSE2__
    const __m128i lanes = _mm_set_epi32(3, 2, 1, 0);
    const __m128i limit = _mm_set1_epi32(count);
    const __m128i colour = _mm_set1_epi32(int(paint));
    auto *const to = reinterpret_cast<__m128i *>(at);
    for (int half = 0; half < 2; ++half) {
        const __m128i take = _mm_cmplt_epi32(_mm_add_epi32(lanes, _mm_set1_epi32(4 * half)), limit);
        const __m128i old = _mm_loadu_si128(to + half);
        _mm_storeu_si128(to + half,
                         _mm_or_si128(_mm_and_si128(take, colour), _mm_andnot_si128(take, old)));
    }
#else
    std::fill(at, at + count, paint);
#endif
}

// A scanline seed fill over whole runs of pixels.
//
// Connectivity is four neighbours: a pixel spreads the fill only to the pixels
// left, right, above and below it, never across a corner. An outline whose
// pixels touch only at their corners therefore still closes its area, so a
// thin, hand-drawn line keeps the colour in.
//
// A painted pixel shows the fill colour with full alpha, which is what tells
// the fill where it has been. Pixels that showed the fill colour before would
// look painted too, yet must not stop the fill; so before the fill first reads
// a row it clears their alpha byte, and once it is done it makes every pixel
// of those rows opaque again. The picture itself thus holds the record of
// where the fill has been, with no copy and no map beside it.
//
// Each painted run pushes at most three spans (the row beyond it and the two
// ends that stick out past its parent towards the row it came from), so the
// waiting spans never number more than three per pixel, whatever the picture.
class SpanFill
{
public:
    SpanFill(uint32_t *pixels, int width, int height, qsizetype stride, QRgb colour)
        : m_pixels(pixels), m_width(width), m_height(height), m_stride(stride),
          m_paint(colour | opaque), m_rows(size_t(height), Untouched)
    {}

    QRect fillFrom(int x, int y)
    {
        prepareRow(y);
        if (isStop(row(y)[x], m_paint)) {
            restoreRows();
            return {};
        }
        const int left = runStart(y, x);
        const int right = nextStop(row(y), x + 1, m_width, m_paint) - 1;
        paintRun(y, left, right);
        push({y, left, right, -1});
        push({y, left, right, 1});
        while (!m_waiting.empty()) {
            const Span span = m_waiting.back();
            m_waiting.pop_back();
            searchRow(span);
        }
        restoreRows();
        return QRect(QPoint(m_minX, m_minY), QPoint(m_maxX, m_maxY));
    }

private:
    enum RowState : uint8_t { Untouched, Prepared, Marked };

    uint32_t *row(int y) const { return m_pixels + y * m_stride; }

    // Clears the alpha of the row's pixels that show the fill colour, the
    // first time the fill looks at the row. A black fill has nothing to mark:
    // black pixels are boundary anyway.
    void prepareRow(int y)
    {
        if (m_rows[size_t(y)] != Untouched)
            return;
        m_rows[size_t(y)] = Prepared;
        if (m_paint == opaque)
            return;
        uint32_t *const line = row(y);
        for (int x = nextEqual(line, 0, m_width, m_paint); x < m_width;
             x = nextEqual(line, x + 1, m_width, m_paint)) {
            line[x] &= rgbMask;
            m_rows[size_t(y)] = Marked;
        }
    }

    // Makes opaque again the pixels of the fill colour that the fill did not reach.
    void restoreRows()
    {
        for (int y = 0; y < m_height; ++y) {
            if (m_rows[size_t(y)] != Marked)
                continue;
            uint32_t *const line = row(y);
            for (int x = 0; x < m_width; ++x)
                line[x] |= opaque;
        }
    }

    // The leftmost pixel of the run of fillable pixels that ends at `x`. Runs
    // seldom reach far past their parent's left end, so a plain loop does.
    int runStart(int y, int x) const
    {
        const uint32_t *const line = row(y);
        while (x > 0 && !isStop(line[x - 1], m_paint))
            --x;
        return x;
    }

    void push(const Span &span)
    {
        const int next = span.y + span.dy;
        if (next < 0 || next >= m_height)
            return;
        // The row is likely to be searched soon: start fetching it now.
        prefetch(row(next) + span.left);
        m_waiting.push_back(span);
    }

    // Paints every fillable run of row `parent.y + parent.dy` that touches the
    // parent's run, and queues the rows around each of them.
    void searchRow(const Span &parent)
    {
        const int y = parent.y + parent.dy;
        prepareRow(y);
        const uint32_t *const line = row(y);
        int x = parent.left;
        if (!isStop(line[x], m_paint)) {
            const int left = runStart(y, x);
            x = nextStop(line, x + 1, m_width, m_paint);
            takeRun(parent, y, left, x - 1);
        }
        for (++x; x <= parent.right; ++x) {
            if (!isStop(line[x], m_paint)) {
                const int left = x;
                x = nextStop(line, x + 1, m_width, m_paint);
                takeRun(parent, y, left, x - 1);
            }
        }
    }

    // The row beyond the run is searched, and so are the parts of the row the
    // parent came from that lie under the run's ends past the parent's own:
    // the pixels right next to the parent's ends are painted or black already.
    void takeRun(const Span &parent, int y, int left, int right)
    {
        paintRun(y, left, right);
        push({y, left, right, parent.dy});
        if (left < parent.left - 1)
            push({y, left, parent.left - 2, -parent.dy});
        if (right > parent.right + 1)
            push({y, parent.right + 2, right, -parent.dy});
    }

    void paintRun(int y, int left, int right)
    {
        uint32_t *const line = row(y);
        const int count = right - left + 1;
        if (count <= group && left + group <= m_width)
            paintFew(line + left, count, m_paint);
        else
            std::fill(line + left, line + right + 1, m_paint);
        m_minX = std::min(m_minX, left);
        m_maxX = std::max(m_maxX, right);
        m_minY = std::min(m_minY, y);
        m_maxY = std::max(m_maxY, y);
    }

    uint32_t *const m_pixels;
    const int m_width;
    const int m_height;
    const qsizetype m_stride;
    const uint32_t m_paint;
    std::vector<RowState> m_rows;
    std::vector<Span> m_waiting;
    int m_minX = m_width;
    int m_maxX = -1;
    int m_minY = m_height;
    int m_maxY = -1;
};

} // namespace

QRect fillArea(uint32_t *pixels, int width, int height, qsizetype strideInPixels, int x, int y,
               QRgb colour)
{
    if (pixels == nullptr || x < 0 || y < 0 || x >= width || y >= height)
        return {};
    return SpanFill(pixels, width, height, strideInPixels, colour).fillFrom(x, y);
}

QRect fillArea(QImage &image, int x, int y, QRgb colour)
{
    Q_ASSERT(image.format() == QImage::Format_RGB32);
    if (image.format() != QImage::Format_RGB32 || !image.valid(x, y))
        return {};
    // Looking before painting keeps a shared image from being copied for nothing.
    if ((image.pixel(x, y) & rgbMask) == 0)
        return {};
    auto *const pixels = reinterpret_cast<uint32_t *>(image.bits());
    const qsizetype stride = image.bytesPerLine() / qsizetype{sizeof(uint32_t)};
    return fillArea(pixels, image.width(), image.height(), stride, x, y, colour);
}
