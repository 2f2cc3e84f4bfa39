#include "PaintingWait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

void runSwallowingErrors(const std::function<void()> &work) noexcept
{
    try {
        work();
    } catch (...) {
    }
}

bool onEventLoopThread()
{
    const QCoreApplication *app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

// What a worker that may outlive its caller shares with it.
struct Handover
{
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
    QEventLoop *wait = nullptr; // the caller's loop while it waits, else null
};

void finish(Handover &handover)
{
    const std::lock_guard lock(handover.mutex);
    handover.done = true;
    handover.ended.notify_all();
    if (handover.wait)
        QMetaObject::invokeMethod(handover.wait, &QEventLoop::quit, Qt::QueuedConnection);
}

bool paintUntilDone(Handover &handover, std::chrono::steady_clock::time_point deadline)
{
    QEventLoop wait;
    QTimer timeUp;
    timeUp.setSingleShot(true);
    timeUp.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timeUp, &QTimer::timeout, &wait, &QEventLoop::quit);
    {
        const std::lock_guard lock(handover.mutex);
        if (handover.done)
            return true;
        handover.wait = &wait;
    }
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    timeUp.start(std::max(left, std::chrono::milliseconds(0)));
    wait.exec(QEventLoop::ExcludeUserInputEvents);
    const std::lock_guard lock(handover.mutex);
    handover.wait = nullptr;
    return handover.done;
}

} // namespace

void runWhileWindowsPaint(const std::function<void()> &work)
{
    if (!onEventLoopThread()) {
        runSwallowingErrors(work);
        return;
    }
    QEventLoop wait;
    // Declared after the loop, so the worker is joined before the loop goes.
    const std::jthread worker([&wait, &work] {
        runSwallowingErrors(work);
        QMetaObject::invokeMethod(&wait, &QEventLoop::quit, Qt::QueuedConnection);
    });
    wait.exec(QEventLoop::ExcludeUserInputEvents);
}

bool runWhileWindowsPaintUntil(std::chrono::steady_clock::time_point deadline,
                               std::function<void()> work)
{
    const auto handover = std::make_shared<Handover>();
    try {
        std::thread([handover, work = std::move(work)] {
            runSwallowingErrors(work);
            finish(*handover);
        }).detach();
    } catch (const std::system_error &) {
        return false;
    }
    if (onEventLoopThread())
        return paintUntilDone(*handover, deadline);
    std::unique_lock lock(handover->mutex);
    return handover->ended.wait_until(lock, deadline, [&handover] { return handover->done; });
}
