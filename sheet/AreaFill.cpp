#include "AreaFill.h"

#include <algorithm>
#include <bit>
#include <vector>

// SSE2 is part of every x86-64 processor; MSVC does not say so with __SSE2__.
// Elsewhere (arm64) the plain loops after each vector block do all the work,
// and the fill's test runs there under an emulator.
#if defined(__SSE2__) || defined(_M_X64)
#define TINGOLAMO_SSE2 1
#include <emmintrin.h>
#endif

namespace {

// The steps of the fill's inner loop are small functions for reading's sake;
// the compiler is asked to melt them into one loop that keeps its state in
// registers. The corridor walk is a loop of its own, kept apart so that its
// few values get registers of their own.
#if defined(__GNUC__)
#define TINGOLAMO_STEP [[gnu::always_inline]] inline
#define TINGOLAMO_LOOP [[gnu::noinline]]
#else
#define TINGOLAMO_STEP inline
#define TINGOLAMO_LOOP
#endif

constexpr uint32_t rgbMask = 0x00FFFFFFu;
constexpr uint32_t opaque = 0xFF000000u;
constexpr int group = 8;
// How many rows ahead of a walk along a corridor the fill fetches the pixels:
// far enough for a row to arrive from memory before the walk gets there.
constexpr int lookAhead = 16;

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

// The rectangle around the painted pixels, grown run by run.
struct Bounds
{
    int left;
    int top;
    int right;
    int bottom;

    void add(int y, int runLeft, int runRight)
    {
        left = std::min(left, runLeft);
        right = std::max(right, runRight);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
};

void prefetch([[maybe_unused]] const void *address)
{
#if defined(__GNUC__)
    __builtin_prefetch(address);
#endif
}

// Black, or equal to `stop`: the fill colour with full alpha where the row has
// been prepared, a value no pixel holds on the row's first visit.
bool isStop(uint32_t pixel, uint32_t stop)
{
    return (pixel & rgbMask) == 0 || pixel == stop;
}

#ifdef TINGOLAMO_SSE2
// Eight flags, one for each 32-bit lane that is all ones, `low` first.
unsigned flagsOf(__m128i low, __m128i high)
{
    return unsigned(_mm_movemask_ps(_mm_castsi128_ps(low))) |
           unsigned(_mm_movemask_ps(_mm_castsi128_ps(high))) << 4;
}

// All ones in the lanes of the four pixels that are stops.
__m128i stopLanes(__m128i pixels, __m128i stop)
{
    const __m128i colourOnly = _mm_and_si128(pixels, _mm_set1_epi32(int(rgbMask)));
    return _mm_or_si128(_mm_cmpeq_epi32(colourOnly, _mm_setzero_si128()),
                        _mm_cmpeq_epi32(pixels, stop));
}

// One flag for each of the eight pixels in `low` and `high` that is a stop.
unsigned stopFlagsOf(__m128i low, __m128i high, uint32_t stop)
{
    const __m128i stops = _mm_set1_epi32(int(stop));
    return flagsOf(stopLanes(low, stops), stopLanes(high, stops));
}

// Whether any of the sixteen pixels from `at` on is a stop.
bool anyStop(const __m128i *at, __m128i stop)
{
    const __m128i first = _mm_or_si128(stopLanes(_mm_loadu_si128(at), stop),
                                       stopLanes(_mm_loadu_si128(at + 1), stop));
    const __m128i second = _mm_or_si128(stopLanes(_mm_loadu_si128(at + 2), stop),
                                        stopLanes(_mm_loadu_si128(at + 3), stop));
    return _mm_movemask_epi8(_mm_or_si128(first, second)) != 0;
}

// The lanes of a group of eight whose flag is set in `flags`, `low` four first.
__m128i lanesOf(unsigned flags, int half)
{
    const __m128i bits = half == 0 ? _mm_set_epi32(8, 4, 2, 1) : _mm_set_epi32(128, 64, 32, 16);
    return _mm_cmpeq_epi32(_mm_and_si128(_mm_set1_epi32(int(flags)), bits), bits);
}

__m128i blend(__m128i old, __m128i colour, __m128i take)
{
    return _mm_or_si128(_mm_and_si128(take, colour), _mm_andnot_si128(take, old));
}
#endif

// The first pixel from `x` on that equals `value`, or `width`.
int nextEqual(const uint32_t *line, int x, int width, uint32_t value)
{
#ifdef TINGOLAMO_SSE2
    const __m128i wanted = _mm_set1_epi32(int(value));
    // Sixteen pixels at a time through the long stretches without one.
    for (; x + 2 * group <= width; x += 2 * group) {
        const auto *const from = reinterpret_cast<const __m128i *>(line + x);
        const __m128i first = _mm_or_si128(_mm_cmpeq_epi32(_mm_loadu_si128(from), wanted),
                                           _mm_cmpeq_epi32(_mm_loadu_si128(from + 1), wanted));
        const __m128i second = _mm_or_si128(_mm_cmpeq_epi32(_mm_loadu_si128(from + 2), wanted),
                                            _mm_cmpeq_epi32(_mm_loadu_si128(from + 3), wanted));
        if (_mm_movemask_epi8(_mm_or_si128(first, second)) != 0)
            break;
    }
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

#ifdef TINGOLAMO_SSE2
// Paints the group of eight pixels from `first` on up to the stop nearest its
// left end, or its right end when `fromRight`, and returns the group's stop
// flags: none when the whole group was painted.
unsigned paintEight(uint32_t *first, __m128i colour, uint32_t stop, bool fromRight)
{
    auto *const at = reinterpret_cast<__m128i *>(first);
    const __m128i low = _mm_loadu_si128(at);
    const __m128i high = _mm_loadu_si128(at + 1);
    const unsigned flags = stopFlagsOf(low, high, stop);
    if (flags == 0) {
        _mm_storeu_si128(at, colour);
        _mm_storeu_si128(at + 1, colour);
        return 0;
    }
    const unsigned painted =
        fromRight ? 0xFFu & ~((1u << std::bit_width(flags)) - 1u) : (flags & (0u - flags)) - 1u;
    _mm_storeu_si128(at, blend(low, colour, lanesOf(painted, 0)));
    _mm_storeu_si128(at + 1, blend(high, colour, lanesOf(painted, 1)));
    return flags;
}

// Paints the group of eight pixels at `x` up to its first stop, and returns
// where that stop is, or -1 when the whole group was painted.
int paintGroup(uint32_t *line, int x, __m128i colour, uint32_t stop)
{
    const unsigned flags = paintEight(line + x, colour, stop, false);
    return flags == 0 ? -1 : x + std::countr_zero(flags);
}

// Paints the group of eight pixels that ends at `x` from its right end leftwards
// up to its first stop, and returns where that stop is, or -1 when the whole
// group was painted.
int paintGroupBack(uint32_t *line, int x, __m128i colour, uint32_t stop)
{
    const int first = x - (group - 1);
    const unsigned flags = paintEight(line + first, colour, stop, true);
    return flags == 0 ? -1 : first + int(std::bit_width(flags)) - 1;
}
#endif

// Paints `paint` over the pixels from `x` on up to the first stop, and returns
// where that stop is, or `width`: one pass that looks at each pixel and paints it.
int paintToStop(uint32_t *line, int x, int width, uint32_t paint, uint32_t stop)
{
#ifdef TINGOLAMO_SSE2
    const __m128i colour = _mm_set1_epi32(int(paint));
    const __m128i stops = _mm_set1_epi32(int(stop));
    // Most runs end within eight pixels; the inside of a long one goes
    // sixteen pixels at a time.
    if (x + group <= width) {
        if (const int at = paintGroup(line, x, colour, stop); at >= 0)
            return at;
        x += group;
    }
    for (; x + 2 * group <= width; x += 2 * group) {
        auto *const at = reinterpret_cast<__m128i *>(line + x);
        if (anyStop(at, stops))
            break;
        for (int quarter = 0; quarter < 4; ++quarter)
            _mm_storeu_si128(at + quarter, colour);
    }
    for (; x + group <= width; x += group)
        if (const int at = paintGroup(line, x, colour, stop); at >= 0)
            return at;
#endif
    while (x < width && !isStop(line[x], stop))
        line[x++] = paint;
    return x;
}

// The mirror of paintToStop: paints from `x` leftwards up to the first stop,
// and returns where that stop is, or -1. A fill walking up the picture meets
// its rows at falling addresses; reading each row from right to left keeps the
// whole walk one falling stream, which the processor fetches ahead, where
// rising rows in a falling walk take it about three times as long.
int paintBackToStop(uint32_t *line, int x, uint32_t paint, uint32_t stop)
{
#ifdef TINGOLAMO_SSE2
    const __m128i colour = _mm_set1_epi32(int(paint));
    const __m128i stops = _mm_set1_epi32(int(stop));
    if (x >= group - 1) {
        if (const int at = paintGroupBack(line, x, colour, stop); at >= 0)
            return at;
        x -= group;
    }
    for (; x >= 2 * group - 1; x -= 2 * group) {
        auto *const at = reinterpret_cast<__m128i *>(line + x - (2 * group - 1));
        if (anyStop(at, stops))
            break;
        for (int quarter = 0; quarter < 4; ++quarter)
            _mm_storeu_si128(at + quarter, colour);
    }
    for (; x >= group - 1; x -= group)
        if (const int at = paintGroupBack(line, x, colour, stop); at >= 0)
            return at;
#endif
    while (x >= 0 && !isStop(line[x], stop))
        line[x--] = paint;
    return x;
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
// look painted too, yet must not stop the fill. On its first visit to a row
// the fill knows that nothing there is painted yet, so only black stops it;
// after that visit it clears the alpha byte of the pixels elsewhere on the row
// that show the fill colour, and once it is done it makes every pixel of those
// rows opaque again. The picture itself thus holds the record of where the
// fill has been, with no copy and no map beside it, and a row the fill paints
// from end to end is read only once.
//
// Each painted run hands on at most three spans (the row beyond it and the two
// ends that stick out past its parent towards the row it came from), so the
// waiting spans never number more than three per pixel, whatever the picture.
// The span handed on last is searched next without going through the stack,
// so a walk along a narrow corridor costs one row search per row.
class SpanFill
{
public:
    SpanFill(uint32_t *pixels, int width, int height, qsizetype stride, QRgb colour)
        : m_pixels(pixels), m_width(width), m_height(height), m_stride(stride),
          m_paint(colour | opaque), m_rows(size_t(height), Untouched)
    {}

    QRect fillFrom(int x, int y)
    {
        uint32_t *const line = row(y);
        const uint32_t stop = stopOf(y);
        if (isStop(line[x], stop))
            return {};
        const int left = runStart(line, x, stop);
        std::fill(line + left, line + x, m_paint);
        const int right = paintToStop(line, x, m_width, m_paint, stop) - 1;
        finishFirstVisit(y, {left, right});
        Bounds bounds{m_width, m_height, -1, -1};
        bounds.add(y, left, right);
        Span span{};
        bool going = false;
        hand({y, left, right, -1}, span, going);
        hand({y, left, right, 1}, span, going);
        for (;;) {
            while (going)
                going = searchRow(span, bounds);
            if (m_waiting.empty())
                break;
            span = m_waiting.back();
            m_waiting.pop_back();
            going = true;
        }
        restoreRows();
        return QRect(QPoint(bounds.left, bounds.top), QPoint(bounds.right, bounds.bottom));
    }

private:
    enum RowState : uint8_t { Untouched, Prepared, Marked };

    // The pixels painted on one visit to a row, from `left` to `right`.
    struct Visit
    {
        int left;
        int right;

        void add(int runLeft, int runRight)
        {
            left = std::min(left, runLeft);
            right = std::max(right, runRight);
        }
    };

    uint32_t *row(int y) const { return m_pixels + y * m_stride; }

    bool hasRow(int y) const { return y >= 0 && y < m_height; }

    // Fetches the row a walk from row `y` in direction `dy` reaches some rows
    // later, at column `x`, before the walk gets there.
    void fetchAhead(int y, int dy, int x) const
    {
        const int ahead = y + lookAhead * dy;
        if (hasRow(ahead))
            prefetch(row(ahead) + x);
    }

    // What stops a run on row `y` besides black: a painted pixel, or on the
    // first visit, when nothing on the row is painted, a value that no pixel
    // of an opaque picture holds.
    uint32_t stopOf(int y) const
    {
        return m_rows[size_t(y)] == Untouched ? m_paint & rgbMask : m_paint;
    }

    // After the first visit to row `y` has painted `visit`, clears the alpha
    // of the row's other pixels that show the fill colour. A black fill has
    // nothing to mark: black pixels are boundary anyway.
    void finishFirstVisit(int y, const Visit &visit)
    {
        m_rows[size_t(y)] = Prepared;
        if (m_paint == opaque)
            return;
        uint32_t *const line = row(y);
        const bool before = markFillColour(line, 0, visit.left);
        const bool after = markFillColour(line, visit.right + 1, m_width);
        if (before || after)
            m_rows[size_t(y)] = Marked;
    }

    // Clears the alpha of the pixels from `from` up to `to` that show the fill
    // colour; returns whether there were any.
    bool markFillColour(uint32_t *line, int from, int to) const
    {
        bool marked = false;
        for (int x = nextEqual(line, from, to, m_paint); x < to;
             x = nextEqual(line, x + 1, to, m_paint)) {
            line[x] &= rgbMask;
            marked = true;
        }
        return marked;
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
    static int runStart(const uint32_t *line, int x, uint32_t stop)
    {
        while (x > 0 && !isStop(line[x - 1], stop))
            --x;
        return x;
    }

    // The rightmost pixel of the run of fillable pixels that starts at `x`.
    int runEnd(const uint32_t *line, int x, uint32_t stop) const
    {
        while (x + 1 < m_width && !isStop(line[x + 1], stop))
            ++x;
        return x;
    }

    // The first fillable pixel from `x` on, or `limit`.
    static int nextFillable(const uint32_t *line, int x, int limit, uint32_t stop)
    {
        while (x < limit && isStop(line[x], stop))
            ++x;
        return x;
    }

    // The first fillable pixel from `x` leftwards, or `limit`.
    static int previousFillable(const uint32_t *line, int x, int limit, uint32_t stop)
    {
        while (x > limit && isStop(line[x], stop))
            --x;
        return x;
    }

    // Paints every fillable run of row `span.y + span.dy` that touches the
    // run of `span`, and hands on the rows around each of them. The span
    // handed on last replaces `span`; returns false when there is none.
    TINGOLAMO_STEP bool searchRow(Span &span, Bounds &bounds)
    {
        const Span parent = span;
        const int y = parent.y + parent.dy;
        uint32_t *const line = row(y);
        const uint32_t stop = stopOf(y);
        Visit visit{m_width, -1};
        bool carry = false;
#ifdef TINGOLAMO_SSE2
        if (!searchNarrow(parent, y, line, stop, span, carry, visit))
#endif
        {
            if (parent.dy > 0)
                searchWide(parent, y, line, stop, span, carry, visit);
            else
                searchWideBack(parent, y, line, stop, span, carry, visit);
        }
        if (visit.right >= 0) {
            bounds.add(y, visit.left, visit.right);
            if (stop != m_paint)
                finishFirstVisit(y, visit);
        }
#ifdef TINGOLAMO_SSE2
        // A run under its parent's very columns most likely goes on as a
        // corridor, which a loop of its own walks.
        if (carry && span.left == parent.left && span.right == parent.right && fitsGroup(span) &&
            !walkCorridor(span, bounds))
            return false;
#endif
        if (carry)
            fetchAhead(span.y, span.dy, span.left);
        return carry;
    }

    // Looks along the parent's run pixel by pixel, painting each run found.
    TINGOLAMO_STEP void searchWide(const Span &parent, int y, uint32_t *line, uint32_t stop,
                                   Span &next, bool &carry, Visit &visit)
    {
        const uint32_t paint = m_paint;
        const int width = m_width;
        int x = parent.left;
        if (!isStop(line[x], stop)) {
            const int left = runStart(line, x, stop);
            std::fill(line + left, line + x, paint);
            x = paintToStop(line, x, width, paint, stop);
            takeRun(parent, y, left, x - 1, next, carry, visit);
        }
        while (++x <= parent.right) {
            x = nextFillable(line, x, parent.right + 1, stop);
            if (x > parent.right)
                break;
            const int left = x;
            x = paintToStop(line, x, width, paint, stop);
            takeRun(parent, y, left, x - 1, next, carry, visit);
        }
    }

    // searchWide from right to left, for a row above its parent.
    TINGOLAMO_STEP void searchWideBack(const Span &parent, int y, uint32_t *line, uint32_t stop,
                                       Span &next, bool &carry, Visit &visit)
    {
        const uint32_t paint = m_paint;
        int x = parent.right;
        if (!isStop(line[x], stop)) {
            const int right = runEnd(line, x, stop);
            std::fill(line + x + 1, line + right + 1, paint);
            x = paintBackToStop(line, x, paint, stop);
            takeRun(parent, y, x + 1, right, next, carry, visit);
        }
        while (--x >= parent.left) {
            x = previousFillable(line, x, parent.left - 1, stop);
            if (x < parent.left)
                break;
            const int right = x;
            x = paintBackToStop(line, x, paint, stop);
            takeRun(parent, y, x + 1, right, next, carry, visit);
        }
    }

#ifdef TINGOLAMO_SSE2
    // Whether the group of eight pixels that starts just left of `span` lies
    // inside the row and holds the span with a pixel to spare at each end.
    bool fitsGroup(const Span &span) const
    {
        const int from = span.left - 1;
        return from >= 0 && from + group <= m_width && span.right - from <= group - 2;
    }

    // A parent of at most six pixels lies inside the group of eight pixels
    // that starts just left of it: one look at the group finds every run that
    // touches the parent, and one blend paints what of them lies inside it.
    // Returns false, having done nothing, for a parent too wide or too near
    // an end of the row.
    TINGOLAMO_STEP bool searchNarrow(const Span &parent, int y, uint32_t *line, uint32_t stop,
                                     Span &next, bool &carry, Visit &visit)
    {
        if (!fitsGroup(parent))
            return false;
        const int from = parent.left - 1;
        const uint32_t paint = m_paint;
        auto *const at = reinterpret_cast<__m128i *>(line + from);
        const __m128i low = _mm_loadu_si128(at);
        const __m128i high = _mm_loadu_si128(at + 1);
        const unsigned fillable = ~stopFlagsOf(low, high, stop) & 0xFFu;
        // One flag for each pixel under the parent: bits 1 to right - from.
        unsigned seeds = fillable & ((2u << (parent.right - from)) - 2u);
        if (seeds == 0)
            return true;
        const __m128i colour = _mm_set1_epi32(int(paint));
        {
            // The commonest row of a corridor: one run inside the group that
            // reaches no further right than a pixel past the parent, so all
            // it hands on is the row beyond it.
            const int first = std::countr_zero(seeds);
            const int start = int(std::bit_width(~fillable & ((1u << first) - 1u)));
            const int end = first + std::countr_zero(~fillable >> first);
            if (start != 0 && end != group && end <= parent.right - from + 2 &&
                (seeds >> end) == 0) {
                const unsigned taken = (1u << end) - (1u << start);
                _mm_storeu_si128(at, blend(low, colour, lanesOf(taken, 0)));
                _mm_storeu_si128(at + 1, blend(high, colour, lanesOf(taken, 1)));
                visit.add(from + start, from + end - 1);
                hand({y, from + start, from + end - 1, parent.dy}, next, carry);
                return true;
            }
        }
        unsigned taken = 0;
        while (seeds != 0) {
            const int first = std::countr_zero(seeds);
            const unsigned before = ~fillable & ((1u << first) - 1u);
            const int start = int(std::bit_width(before));
            const int end = first + std::countr_zero(~fillable >> first);
            taken |= (1u << end) - (1u << start);
            seeds &= ~((1u << end) - 1u);
            int left = from + start;
            if (start == 0) {
                left = runStart(line, from, stop);
                std::fill(line + left, line + from, paint);
            }
            const int right = end == group
                                  ? paintToStop(line, from + group, m_width, paint, stop) - 1
                                  : from + end - 1;
            takeRun(parent, y, left, right, next, carry, visit);
        }
        _mm_storeu_si128(at, blend(low, colour, lanesOf(taken, 0)));
        _mm_storeu_si128(at + 1, blend(high, colour, lanesOf(taken, 1)));
        return true;
    }
#endif

#ifdef TINGOLAMO_SSE2
    // Walks on from `span` for as long as the row beyond holds a run of the
    // same columns between two stops, painting each such row, and makes `span`
    // the last row painted. What the walk reads decides only whether it goes
    // on, never where it reads next, so the processor runs rows ahead instead
    // of waiting for each row's pixels in turn. Returns false when the last
    // row painted has no row beyond. `span` must fit its group.
    TINGOLAMO_LOOP bool walkCorridor(Span &span, Bounds &bounds)
    {
        const int columns = span.right - span.left + 1;
        // The group's flags from the stop left of the run to the one right of it.
        const unsigned window = (4u << columns) - 1u;
        const unsigned ends = 1u | (2u << columns);
        const __m128i takeLow = lanesOf(window & ~ends, 0);
        const __m128i takeHigh = lanesOf(window & ~ends, 1);
        const __m128i colour = _mm_set1_epi32(int(m_paint));
        const qsizetype step = span.dy * m_stride;
        int y = span.y;
        uint32_t *first = row(y) + span.left - 1;
        for (int beyond = y + span.dy; hasRow(beyond); beyond += span.dy) {
            const uint32_t stop = stopOf(beyond);
            auto *const at = reinterpret_cast<__m128i *>(first + step);
            const __m128i low = _mm_loadu_si128(at);
            const __m128i high = _mm_loadu_si128(at + 1);
            if ((stopFlagsOf(low, high, stop) & window) != ends)
                break;
            _mm_storeu_si128(at, blend(low, colour, takeLow));
            _mm_storeu_si128(at + 1, blend(high, colour, takeHigh));
            first += step;
            y = beyond;
            if (stop != m_paint)
                finishFirstVisit(y, {span.left, span.right});
            fetchAhead(y, span.dy, span.left);
        }
        bounds.add(y, span.left, span.right);
        span.y = y;
        return hasRow(y + span.dy);
    }
#endif

    // The row beyond the painted run is searched, and so are the parts of the
    // row the parent came from that lie under the run's ends past the parent's
    // own: the pixels right next to the parent's ends are painted or black.
    TINGOLAMO_STEP void takeRun(const Span &parent, int y, int left, int right, Span &next,
                                bool &carry, Visit &visit)
    {
        visit.add(left, right);
        hand({y, left, right, parent.dy}, next, carry);
        if (left < parent.left - 1)
            hand({y, left, parent.left - 2, -parent.dy}, next, carry);
        if (right > parent.right + 1)
            hand({y, parent.right + 2, right, -parent.dy}, next, carry);
    }

    // Makes `span` the next one to search, queueing the one that was.
    TINGOLAMO_STEP void hand(const Span &span, Span &next, bool &carry)
    {
        const int beyond = span.y + span.dy;
        if (!hasRow(beyond))
            return;
        // The row is likely to be searched soon: start fetching it now.
        prefetch(row(beyond) + span.left);
        if (carry)
            m_waiting.push_back(next);
        next = span;
        carry = true;
    }

    uint32_t *const m_pixels;
    const int m_width;
    const int m_height;
    const qsizetype m_stride;
    const uint32_t m_paint;
    std::vector<RowState> m_rows;
    std::vector<Span> m_waiting;
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
