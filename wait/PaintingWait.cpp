#include "PaintingWait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>

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
