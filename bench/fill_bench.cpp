// Times the area fill on five pictures against a plain copy of the same
// buffer and, when OpenCV is available, against cv::floodFill doing the same
// border fill. Every call starts from a fresh copy of the picture, restored
// outside the timed region, and is timed by the processor time of the
// benchmark thread. A table of medians and ratios ends the output.

#include "AreaFill.h"

#include <QPainter>
#include <QPainterPath>

#include <benchmark/benchmark.h>

#ifdef TINGOLAMO_WITH_OPENCV
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#endif

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr QRgb black = 0xFF000000;
constexpr QRgb white = 0xFFFFFFFF;
constexpr QRgb fillColour = 0xFFE03C31;

struct Scene
{
    std::string name;
    QImage image;
    QPoint start;
};

// A small linear congruential generator, so the pictures are the same on
// every machine and library.
class Lcg
{
public:
    explicit Lcg(uint32_t seed) : m_state(seed) {}
    uint32_t below(uint32_t n)
    {
        m_state = m_state * 1664525u + 22695477u;
        return uint32_t((uint64_t(m_state >> 8) * n) >> 24);
    }

private:
    uint32_t m_state;
};

QImage blankImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(white);
    return image;
}

Scene openArea()
{
    return {"open_4096x4096", blankImage(4096, 4096), QPoint(2048, 2048)};
}

// A colouring page: a house, a tree, a sun and clouds in soft black outlines.
Scene page()
{
    QImage image = blankImage(400, 500);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawLine(0, 400, 400, 400);
    painter.drawRect(60, 250, 160, 150);
    painter.drawPolygon(QPolygon({QPoint(45, 250), QPoint(140, 160), QPoint(235, 250)}));
    painter.drawRect(120, 320, 40, 80);
    painter.drawRect(80, 270, 30, 30);
    painter.drawRect(170, 270, 30, 30);
    painter.drawLine(95, 270, 95, 300);
    painter.drawLine(185, 270, 185, 300);
    painter.drawRect(300, 300, 20, 100);
    painter.drawEllipse(QPoint(310, 260), 55, 60);
    painter.drawEllipse(QPoint(330, 70), 40, 40);
    for (int ray = 0; ray < 12; ++ray) {
        const QLineF line = QLineF::fromPolar(70, ray * 30.0).translated(330, 70);
        painter.drawLine(QLineF(line.pointAt(0.68), line.p2()));
    }
    QPainterPath cloud;
    for (const QPoint centre : {QPoint(70, 80), QPoint(105, 65), QPoint(140, 80)})
        cloud.addEllipse(centre, 30, 22);
    painter.drawPath(cloud.simplified());
    for (int flower = 0; flower < 6; ++flower) {
        const QPoint centre(40 + flower * 60, 450);
        painter.drawEllipse(centre, 8, 8);
        for (int petal = 0; petal < 5; ++petal)
            painter.drawEllipse(QLineF::fromPolar(16, petal * 72.0).translated(centre).p2(), 8, 8);
    }
    painter.end();
    return {"page_400x500", image, QPoint(20, 200)};
}

// A grid of rooms joined by doorways, with 200 outlined ellipses scattered over it.
Scene shapes()
{
    const int size = 4096;
    const int room = 512;
    const int door = 40;
    QImage image = blankImage(size, size);
    QPainter painter(&image);
    for (int wall = room; wall < size; wall += room) {
        for (int from = 0; from < size; from += room) {
            const int doorAt = from + room / 2 - door / 2;
            painter.fillRect(wall - 1, from, 3, doorAt - from, Qt::black);
            painter.fillRect(wall - 1, doorAt + door, 3, from + room - doorAt - door, Qt::black);
            painter.fillRect(from, wall - 1, doorAt - from, 3, Qt::black);
            painter.fillRect(doorAt + door, wall - 1, from + room - doorAt - door, 3, Qt::black);
        }
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 3));
    Lcg random(2024);
    for (int n = 0; n < 200; ++n) {
        const QPoint centre(int(random.below(size)), int(random.below(size)));
        painter.drawEllipse(centre, 15 + int(random.below(110)), 15 + int(random.below(110)));
    }
    painter.end();
    QPoint start(5, 5);
    while (image.pixel(start) != white)
        start += QPoint(7, 3);
    return {"shapes_4096x4096", image, start};
}

// Vertical corridors three pixels wide, joined alternately at the bottom and
// the top into one long serpentine.
Scene maze()
{
    const int size = 4096;
    QImage image = blankImage(size, size);
    for (int y = 0; y < size; ++y) {
        QRgb *const line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 3; x < size; x += 4) {
            const int opening = (x / 4) % 2 == 0 ? size - 1 : 0;
            if (y != opening)
                line[x] = black;
        }
    }
    return {"maze_4096x4096", image, QPoint(1, 1)};
}

Scene noise()
{
    const int size = 4096;
    QImage image = blankImage(size, size);
    Lcg random(7);
    for (int y = 0; y < size; ++y) {
        QRgb *const line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < size; ++x)
            if (random.below(100) < 30)
                line[x] = black;
    }
    QPoint start(size / 2, size / 2);
    while (image.pixel(start) == black)
        start.rx() += 1;
    return {"noise_4096x4096", image, start};
}

const std::vector<Scene> &scenes()
{
    static const std::vector<Scene> all{openArea(), page(), shapes(), maze(), noise()};
    return all;
}

// The processor time of this thread: other programs sharing the machine
// stretch the wall clock but not this.
double threadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

void copyPixels(const QImage &from, QImage &to)
{
    std::memcpy(to.bits(), from.constBits(), size_t(from.sizeInBytes()));
}

void benchFill(benchmark::State &state, const Scene &scene)
{
    QImage work = scene.image.copy();
    uint32_t *const pixels = reinterpret_cast<uint32_t *>(work.bits());
    const qsizetype stride = work.bytesPerLine() / 4;
    for (auto _ : state) {
        copyPixels(scene.image, work);
        const double start = threadSeconds();
        const QRect painted = fillArea(pixels, work.width(), work.height(), stride, scene.start.x(),
                                       scene.start.y(), fillColour);
        state.SetIterationTime(threadSeconds() - start);
        benchmark::DoNotOptimize(painted);
    }
}

void benchCopy(benchmark::State &state, const Scene &scene)
{
    QImage work = scene.image.copy();
    for (auto _ : state) {
        const double start = threadSeconds();
        copyPixels(scene.image, work);
        benchmark::ClobberMemory();
        state.SetIterationTime(threadSeconds() - start);
    }
}

#ifdef TINGOLAMO_WITH_OPENCV
// OpenCV's nearest equivalent of the border fill: a three-channel picture, a
// mask that marks the black pixels as walls and colour ranges wide enough that
// colour never stops the fill.
struct OpenCvScene
{
    explicit OpenCvScene(const Scene &scene)
    {
        const QImage &image = scene.image;
        const cv::Mat bgra(image.height(), image.width(), CV_8UC4,
                           const_cast<uchar *>(image.constBits()), size_t(image.bytesPerLine()));
        cv::cvtColor(bgra, picture, cv::COLOR_BGRA2BGR);
        walls = cv::Mat::ones(image.height() + 2, image.width() + 2, CV_8UC1);
        cv::Mat inner = walls(cv::Rect(1, 1, image.width(), image.height()));
        cv::inRange(picture, cv::Scalar::all(0), cv::Scalar::all(0), inner);
    }

    cv::Rect fill(cv::Mat &image, cv::Mat &mask, QPoint start) const
    {
        cv::Rect painted;
        cv::floodFill(image, mask, cv::Point(start.x(), start.y()),
                      cv::Scalar(qBlue(fillColour), qGreen(fillColour), qRed(fillColour)), &painted,
                      cv::Scalar::all(255), cv::Scalar::all(255), 4);
        return painted;
    }

    cv::Mat picture;
    cv::Mat walls;
};

void benchOpenCv(benchmark::State &state, const Scene &scene)
{
    const OpenCvScene original(scene);
    cv::Mat image = original.picture.clone();
    cv::Mat mask = original.walls.clone();
    for (auto _ : state) {
        original.picture.copyTo(image);
        original.walls.copyTo(mask);
        const double start = threadSeconds();
        const cv::Rect painted = original.fill(image, mask, scene.start);
        state.SetIterationTime(threadSeconds() - start);
        benchmark::DoNotOptimize(painted);
    }
}

// Both fills must paint exactly the same pixels, or the timings compare
// different work.
bool sameAsOpenCv(const Scene &scene)
{
    QImage ours = scene.image.copy();
    const QRect ourRect = fillArea(ours, scene.start.x(), scene.start.y(), fillColour);
    const OpenCvScene theirs(scene);
    cv::Mat image = theirs.picture.clone();
    cv::Mat mask = theirs.walls.clone();
    const cv::Rect theirRect = theirs.fill(image, mask, scene.start);
    const cv::Mat oursBgra(ours.height(), ours.width(), CV_8UC4, ours.bits(),
                           size_t(ours.bytesPerLine()));
    cv::Mat oursBgr;
    cv::cvtColor(oursBgra, oursBgr, cv::COLOR_BGRA2BGR);
    const bool samePixels = cv::norm(oursBgr, image, cv::NORM_INF) == 0;
    return samePixels &&
           ourRect == QRect(theirRect.x, theirRect.y, theirRect.width, theirRect.height);
}
#endif

// Keeps the median time of every benchmark while printing as usual.
class SummaryReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &reports) override
    {
        for (const Run &run : reports)
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                m_seconds[run.run_name.function_name] =
                    run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
        ConsoleReporter::ReportRuns(reports);
    }

    void printSummary() const
    {
        std::printf("\n%-18s %12s %12s %12s %10s %10s\n", "picture", "fill", "opencv", "memcpy",
                    "fill/cv", "fill/copy");
        for (const Scene &scene : scenes()) {
            const double fill = seconds("fill/" + scene.name);
            const double openCv = seconds("opencv/" + scene.name);
            const double copy = seconds("memcpy/" + scene.name);
            std::printf("%-18s %12s %12s %12s %10s %10s\n", scene.name.c_str(),
                        duration(fill).c_str(), duration(openCv).c_str(), duration(copy).c_str(),
                        ratio(fill, openCv).c_str(), ratio(fill, copy).c_str());
        }
    }

private:
    double seconds(const std::string &name) const
    {
        const auto found = m_seconds.find(name);
        return found == m_seconds.end() ? 0.0 : found->second;
    }

    static std::string duration(double seconds)
    {
        if (seconds <= 0.0)
            return "-";
        char text[32];
        if (seconds < 1e-3)
            std::snprintf(text, sizeof text, "%.1f us", seconds * 1e6);
        else
            std::snprintf(text, sizeof text, "%.2f ms", seconds * 1e3);
        return text;
    }

    static std::string ratio(double part, double whole)
    {
        if (part <= 0.0 || whole <= 0.0)
            return "-";
        char text[32];
        std::snprintf(text, sizeof text, "%.2f", part / whole);
        return text;
    }

    std::map<std::string, double> m_seconds;
};

void registerBenchmarks()
{
    using Bench = void (*)(benchmark::State &, const Scene &);
    std::vector<std::pair<std::string, Bench>> kinds{{"fill/", benchFill}};
#ifdef TINGOLAMO_WITH_OPENCV
    kinds.emplace_back("opencv/", benchOpenCv);
#endif
    kinds.emplace_back("memcpy/", benchCopy);
    for (const Scene &scene : scenes()) {
        const bool large = scene.image.width() > 1000;
        for (const auto &[prefix, bench] : kinds)
            benchmark::RegisterBenchmark((prefix + scene.name).c_str(), bench, scene)
                ->UseManualTime()
                ->Unit(large ? benchmark::kMillisecond : benchmark::kMicrosecond)
                ->MinTime(large ? 0.2 : 0.05)
                ->Repetitions(9)
                ->ReportAggregatesOnly();
    }
}

} // namespace

// How much of each picture the timed fill paints.
void describeScenes()
{
    for (const Scene &scene : scenes()) {
        QImage image = scene.image.copy();
        const QRect painted = fillArea(image, scene.start.x(), scene.start.y(), fillColour);
        qsizetype count = 0;
        for (int y = painted.top(); y <= painted.bottom(); ++y) {
            const auto *const line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
            count += std::count(line + painted.left(), line + painted.right() + 1, fillColour);
        }
        std::printf("%-18s fill from (%d, %d) paints %lld of %lld pixels\n", scene.name.c_str(),
                    scene.start.x(), scene.start.y(), static_cast<long long>(count),
                    static_cast<long long>(image.width()) * image.height());
    }
}

int main(int argc, char **argv)
{
    describeScenes();
#ifdef TINGOLAMO_WITH_OPENCV
    for (const Scene &scene : scenes()) {
        if (!sameAsOpenCv(scene)) {
            std::fprintf(stderr, "%s: the fill and cv::floodFill paint different pixels\n",
                         scene.name.c_str());
            return 1;
        }
    }
#else
    std::printf("Built without OpenCV: no comparison with cv::floodFill.\n");
#endif
    // Repetitions of the different benchmarks take turns, so that a busy spell
    // of a shared machine does not fall on one side of a comparison only.
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    std::vector<char *> args{argv[0], interleave.data()};
    args.insert(args.end(), argv + 1, argv + argc);
    int count = int(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data()))
        return 1;
    registerBenchmarks();
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printSummary();
    benchmark::Shutdown();
    return 0;
}
