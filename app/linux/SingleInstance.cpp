#include "SingleInstance.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QSocketNotifier>
#include <QWidget>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstring>

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
    const QByteArray user = QByteArray::number(getuid());
    return "tingolamo-" + user + '-' + desktop.result().toHex().left(16);
}

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

// The token a knock carries, read within a bound: the later copy writes it
// right after connecting and closes, so it is there at once, and a caller
// that sends nothing costs a fifth of a second at most. Anything but a short
// run of printable characters is no token.
QByteArray tokenFrom(int caller)
{
    using Clock = std::chrono::steady_clock;
    constexpr qsizetype longest = 255;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(200);
    QByteArray token(longest + 1, '\0');
    qsizetype got = 0;
    while (got < token.size()) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd ready{caller, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&ready, 1, static_cast<int>(left.count())) <= 0)
            break;
        const ssize_t part = ::recv(caller, token.data() + got, token.size() - got, 0);
        if (part <= 0)
            break;
        got += part;
    }
    token.truncate(got);
    const bool printable =
        std::all_of(token.cbegin(), token.cend(), [](char c) { return c > ' ' && c < 0x7f; });
    return printable && got <= longest ? token : QByteArray();
}

} // namespace

SingleInstance::SingleInstance(QObject *parent) : QObject(parent), name_(serverName()) {}

SingleInstance::~SingleInstance()
{
    knocks_.reset();
    if (listener_ >= 0)
        ::close(listener_);
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
// that copy is busy: a non-blocking connect either succeeds or fails now, and
// the few bytes of the activation token fit in the socket's buffer.
bool SingleInstance::knock() const
{
    const QByteArray token = qgetenv("XDG_ACTIVATION_TOKEN");
    return withAbstractSocket(name_, false,
                              [&token](int socket, const sockaddr *address, socklen_t size) {
                                  if (::connect(socket, address, size) != 0)
                                      return false;
                                  ::send(socket, token.constData(),
                                         static_cast<std::size_t>(token.size()), MSG_NOSIGNAL);
                                  return true;
                              }) == 0;
}

bool SingleInstance::listen()
{
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
}

void SingleInstance::answerKnocks()
{
    bool knocked = false;
    QByteArray token;
    for (int caller; (caller = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC)) >= 0;) {
        token = tokenFrom(caller);
        ::close(caller);
        knocked = true;
    }
    if (knocked)
        bringForward(token);
}

void SingleInstance::bringForward(const QByteArray &activationToken)
{
    if (!window_)
        return;
    window_->setWindowState((window_->windowState() & ~Qt::WindowMinimized) | Qt::WindowFullScreen);
    window_->raise();
    QWidget *front = window_;
    // An open farewell window stays above the sheet it belongs to.
    if (QWidget *modal = QApplication::activeModalWidget()) {
        modal->raise();
        front = modal;
    }
    // Qt's Wayland plug-in activates a window with the token it finds here,
    // and then clears it; other platforms do not look at it.
    if (!activationToken.isEmpty())
        qputenv("XDG_ACTIVATION_TOKEN", activationToken);
    front->activateWindow();
}
