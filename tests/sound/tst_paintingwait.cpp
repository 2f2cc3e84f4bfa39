#include "PaintingWait.h"
#include "Suona.h"
#include "WavWriter.h"

#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <future>
#include <memory>

#if __has_include(<qpa/qwindowsysteminterface.h>)
#include <qpa/qwindowsysteminterface.h>
#define HAVE_WINDOW_SYSTEM_INPUT 1
#endif

namespace {

constexpr int cueMs = 400;

// A window that notes what reaches it, and whether a cue was playing then.
class Probe : public QWidget
{
public:
    bool cuePlaying = false;
    int paintsDuringCue = 0;
    QStringList input;
    QStringList inputDuringCue;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter(this).fillRect(rect(), Qt::white);
        if (cuePlaying)
            ++paintsDuringCue;
    }
    void keyPressEvent(QKeyEvent *event) override { note(event->text()); }
    void mousePressEvent(QMouseEvent *) override { note(QStringLiteral("click")); }

private:
    void note(const QString &what)
    {
        input << what;
        if (cuePlaying)
            inputDuringCue << what;
    }
};

} // namespace

class TestPaintingWait : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void keepsPaintingDuringCue();
    void inputWaitsAndKeepsOrder();
    void workerThatDoesNotEndCostsItsDeadline();

private:
    qint64 playCue();

    QTemporaryDir m_dir;
    QString m_cue;
    std::unique_ptr<Probe> m_probe;
};

void TestPaintingWait::initTestCase()
{
    m_cue = m_dir.filePath(QStringLiteral("tono.wav"));
    QVERIFY(writeBytes(m_cue, wavFile({}, toneSamples(44100 * cueMs / 1000, 2))));
    QElapsedTimer clock;
    clock.start();
    Suona(m_cue);
    if (clock.elapsed() < cueMs)
        QSKIP("No sound server answered (run under with_pulse.py): Suona returned at once, "
              "so there is no wait to watch");
}

void TestPaintingWait::init()
{
    m_probe = std::make_unique<Probe>();
    m_probe->resize(200, 200);
    m_probe->show();
    m_probe->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_probe.get()));
    m_probe->setFocus();
}

void TestPaintingWait::cleanup()
{
    m_probe.reset();
}

qint64 TestPaintingWait::playCue()
{
    QElapsedTimer clock;
    clock.start();
    m_probe->cuePlaying = true;
    Suona(m_cue);
    m_probe->cuePlaying = false;
    return clock.elapsed();
}

void TestPaintingWait::keepsPaintingDuringCue()
{
    int ticks = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, this, [&ticks] { ++ticks; });
    ticker.start(20);
    QTimer::singleShot(100, m_probe.get(), [this] { m_probe->update(); });

    QVERIFY(playCue() >= cueMs);
    QVERIFY2(m_probe->paintsDuringCue >= 1, "the window did not repaint while the cue played");
    QVERIFY2(ticks >= 5, qPrintable(QStringLiteral("only %1 timer ticks").arg(ticks)));
}

void TestPaintingWait::inputWaitsAndKeepsOrder()
{
#ifndef HAVE_WINDOW_SYSTEM_INPUT
    QSKIP("Built without Qt's platform headers (qt6-base-private-dev): no way to queue "
          "window-system input");
#else
    using Sys = QWindowSystemInterface;
    using Async = QWindowSystemInterface::AsynchronousDelivery;
    QWindow *const window = m_probe->windowHandle();
    bool queued = false;
    const auto key = [window](QEvent::Type type, Qt::Key code, const QString &text) {
        Sys::handleKeyEvent<Async>(window, type, code, Qt::NoModifier, text);
    };
    const auto mouse = [window](Qt::MouseButtons state, QEvent::Type type) {
        const QPointF at(20, 20);
        Sys::handleMouseEvent<Async>(window, at, window->mapToGlobal(at), state, Qt::LeftButton,
                                     type);
    };
    // Input made while the cue plays: a key, a click, another key.
    QTimer::singleShot(100, m_probe.get(), [&] {
        key(QEvent::KeyPress, Qt::Key_A, QStringLiteral("a"));
        key(QEvent::KeyRelease, Qt::Key_A, QStringLiteral("a"));
        mouse(Qt::LeftButton, QEvent::MouseButtonPress);
        mouse(Qt::NoButton, QEvent::MouseButtonRelease);
        key(QEvent::KeyPress, Qt::Key_B, QStringLiteral("b"));
        key(QEvent::KeyRelease, Qt::Key_B, QStringLiteral("b"));
        queued = m_probe->cuePlaying;
    });

    QVERIFY(playCue() >= cueMs);
    QVERIFY2(queued, "the input was not made while the cue played");
    QCOMPARE(m_probe->inputDuringCue, QStringList());
    QTRY_COMPARE(m_probe->input,
                 QStringList({QStringLiteral("a"), QStringLiteral("click"), QStringLiteral("b")}));
#endif
}

// The bounded wait that printing and the Windows cues use: a worker blocked
// for good costs the caller its deadline and no more, and the window paints
// meanwhile. The worker is let go only at the end of the test.
void TestPaintingWait::workerThatDoesNotEndCostsItsDeadline()
{
    using namespace std::chrono_literals;
    const auto release = std::make_shared<std::promise<void>>();
    const std::shared_future<void> blocked = release->get_future().share();
    QTimer::singleShot(100, m_probe.get(), [this] { m_probe->update(); });
    QElapsedTimer clock;
    clock.start();
    m_probe->cuePlaying = true;
    const bool ended = runWhileWindowsPaintUntil(std::chrono::steady_clock::now() + 400ms,
                                                 [blocked] { blocked.wait(); });
    m_probe->cuePlaying = false;
    const qint64 took = clock.elapsed();
    release->set_value();
    QVERIFY(!ended);
    QVERIFY2(took >= 395 && took < 600, qPrintable(QStringLiteral("%1 ms").arg(took)));
    QVERIFY2(m_probe->paintsDuringCue >= 1, "the window did not repaint while waiting");
}

QTEST_MAIN(TestPaintingWait)
#include "tst_paintingwait.moc"
