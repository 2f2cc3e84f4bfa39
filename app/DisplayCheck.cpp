#include "DisplayCheck.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QFileInfo>
#include <QString>

#include <cstdio>

#ifdef TINGOLAMO_HAVE_XCB
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

bool xServerAnswers()
{
#ifdef TINGOLAMO_HAVE_XCB
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    const bool answers = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return answers;
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

bool graphicalDesktopAvailable()
{
#ifdef TINGOLAMO_HAVE_XCB
    const QByteArrayList platforms = requestedPlatforms();
    if (platforms.isEmpty())
        return xServerAnswers() || waylandSocketExists();
    for (const QByteArray &name : platforms) {
        if (platformUsable(name))
            return true;
    }
    return false;
#else
    return true;
#endif
}

int explainNoDesktop()
{
    std::fputs("TINGOLAMO ha bisogno di un desktop grafico: avvialo dal menu del desktop.\n",
               stderr);
    return 1;
}
