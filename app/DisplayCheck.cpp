#include "DisplayCheck.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QFileInfo>
#include <QString>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#ifdef TINGOLAMO_HAVE_XCB
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>
#endif

namespace {

// The platforms asked for through QT_QPA_PLATFORM, without their options;
// empty when Qt picks its default.
QByteArrayList requestedPlatforms()
{
    QByteArrayList names;
    const QByteArrayList entries = qgetenv("QT_QPA_PLATFORM").split(';');
    for (const QByteArray &entry : entries) {
        const QByteArray name = entry.left(entry.indexOf(':')).trimmed().toLower();
        if (!name.isEmpty())
            names.append(name);
    }
    return names;
}

#ifdef TINGOLAMO_HAVE_XCB
// Whether something listens on the local socket of X display `number`: the
// abstract name first, then the file. Only a connect, no X handshake, so the
// check costs microseconds rather than a whole connection set-up.
bool localXSocketAnswers(int number)
{
    const std::string path = "/tmp/.X11-unix/X" + std::to_string(number);
    for (const bool abstract : {true, false}) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const std::size_t offset = abstract ? 1 : 0;
        path.copy(address.sun_path + offset, sizeof address.sun_path - offset - 1);
        const auto length =
            static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size());
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0)
            return true; // cannot tell: let Qt try
        const bool answers =
            ::connect(fd, reinterpret_cast<const sockaddr *>(&address), length) == 0;
        ::close(fd);
        if (answers)
            return true;
    }
    return false;
}
#endif

bool xServerAnswers()
{
#ifdef TINGOLAMO_HAVE_XCB
    char *host = nullptr;
    int number = 0;
    if (!xcb_parse_display(nullptr, &host, &number, nullptr))
        return false; // no DISPLAY, or one that names nothing
    const bool local = host[0] == '\0' || std::strcmp(host, "unix") == 0;
    std::free(host);
    // A server on another machine is Qt's own connection to judge.
    return !local || localXSocketAnswers(number);
#else
    return true;
#endif
}

bool waylandSocketExists()
{
    const QString name = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (name.isEmpty())
        return false;
    if (QFileInfo(name).isAbsolute())
        return QFileInfo::exists(name);
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo::exists(runtime + QLatin1Char('/') + name);
}

bool platformUsable(const QByteArray &name)
{
    if (name == "xcb")
        return xServerAnswers();
    if (name.startsWith("wayland"))
        return waylandSocketExists();
    // offscreen, vnc, eglfs and the like: Qt itself knows best.
    return true;
}

} // namespace

// Without xcb (Windows) there is no X server to ask, and Qt's own platform
// (windows, offscreen) is judged by Qt.
bool graphicalDesktopAvailable()
{
    const QByteArrayList platforms = requestedPlatforms();
    if (platforms.isEmpty())
        return xServerAnswers() || waylandSocketExists();
    for (const QByteArray &name : platforms) {
        if (platformUsable(name))
            return true;
    }
    return false;
}

int explainNoDesktop()
{
    std::fputs("TINGOLAMO ha bisogno di un desktop grafico: avvialo dal menu del desktop.\n",
               stderr);
    return 1;
}
