#include "SingleInstance.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QSocketNotifier>
#include <QWidget>

#ifdef Q_OS_LINUX
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#endif

namespace {

// A name of its own for every user and every desktop the user runs: two
// displays (a second seat, a test's private X server) each get their copy.
QByteArray serverName()
{
    QCryptographicHash desktop(QCryptographicHash::Sha1);
    desktop.addData(qgetenv("DISPLAY"));
    desktop.addData(QByteArrayView("\n"));
    desktop.addData(qgetenv("WAYLAND_DISPLAY"));
    desktop.addData(QByteArrayView("\n"));
    desktop.addData(qgetenv("XDG_RUNTIME_DIR"));
#ifdef Q_OS_LINUX
    const QByteArray user = QByteArray::number(getuid());
#else
    const QByteArray user = qgetenv("USERNAME");
#endif
    return "tingolamo-" + user + '-' + desktop.result().toHex().left(16);
}

#ifdef Q_OS_LINUX
// A local stream socket and the address of `name` in the abstract namespace
// (a leading NUL, no file), handed to `use`: connect or bind. The socket is
// closed unless `use` succeeds and `keep` asks for it; returns it, or -1.
template <typename Use> int withAbstractSocket(const QByteArray &name, bool keep, Use use)
{
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (socket < 0)
        return -1;
    sockaddr_un address;
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    const auto length = std::min<std::size_t>(name.size(), sizeof address.sun_path - 1);
    std::memcpy(address.sun_path + 1, name.constData(), length);
    const auto size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + length);
    const bool done = use(socket, reinterpret_cast<const sockaddr *>(&address), size);
    if (done && keep)
        return socket;
    ::close(socket);
    return done ? 0 : -1;
}
#endif

} // namespace

SingleInstance::SingleInstance(QObject *parent) : QObject(parent), name_(serverName()) {}

SingleInstance::~SingleInstance()
{
    knocks_.reset();
#ifdef Q_OS_LINUX
    if (listener_ >= 0)
        ::close(listener_);
#endif
}

bool SingleInstance::handedToRunningCopy()
{
    if (knock())
        return true;
    if (listen())
        return false;
    // Two copies started at the same moment: the other one listens now.
    // If it does not answer either, run without the guard rather than not at all.
    return knock();
}

void SingleInstance::setWindow(QWidget *window)
{
    window_ = window;
}

// A connection to a listening copy is taken by the kernel at once, even while
// that copy is busy: a non-blocking connect either succeeds or fails now.
bool SingleInstance::knock() const
{
#ifdef Q_OS_LINUX
    return withAbstractSocket(name_, false,
                              [](int socket, const sockaddr *address, socklen_t size) {
                                  return ::connect(socket, address, size) == 0;
                              }) == 0;
#else
    return false;
#endif
}

bool SingleInstance::listen()
{
#ifdef Q_OS_LINUX
    const int socket =
        withAbstractSocket(name_, true, [](int socket, const sockaddr *address, socklen_t size) {
            return ::bind(socket, address, size) == 0 && ::listen(socket, 8) == 0;
        });
    if (socket < 0)
        return false;
    listener_ = socket;
    knocks_ = std::make_unique<QSocketNotifier>(listener_, QSocketNotifier::Read);
    connect(knocks_.get(), &QSocketNotifier::activated, this, &SingleInstance::answerKnocks);
    return true;
#else
    return true;
#endif
}

void SingleInstance::answerKnocks()
{
#ifdef Q_OS_LINUX
    bool knocked = false;
    for (int caller; (caller = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC)) >= 0;) {
        ::close(caller);
        knocked = true;
    }
    if (knocked)
        bringForward();
#endif
}

void SingleInstance::bringForward()
{
    if (!window_)
        return;
    window_->setWindowState((window_->windowState() & ~Qt::WindowMinimized) | Qt::WindowFullScreen);
    window_->raise();
    window_->activateWindow();
    // An open farewell window stays above the sheet it belongs to.
    if (QWidget *modal = QApplication::activeModalWidget()) {
        modal->raise();
        modal->activateWindow();
    }
}
