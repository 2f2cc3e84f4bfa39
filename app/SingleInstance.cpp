#include "SingleInstance.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QLocalSocket>
#include <QWidget>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

constexpr int kKnockTimeoutMs = 1000;

// A name of its own for every user and every desktop the user runs: two
// displays (a second seat, a test's private X server) each get their copy.
QString serverName()
{
    QCryptographicHash desktop(QCryptographicHash::Sha1);
    desktop.addData(qgetenv("DISPLAY"));
    desktop.addData(QByteArrayView("\n"));
    desktop.addData(qgetenv("WAYLAND_DISPLAY"));
    desktop.addData(QByteArrayView("\n"));
    desktop.addData(qgetenv("XDG_RUNTIME_DIR"));
#ifdef Q_OS_UNIX
    const QString user = QString::number(getuid());
#else
    const QString user = qEnvironmentVariable("USERNAME");
#endif
    return QStringLiteral("tingolamo-%1-%2")
        .arg(user, QString::fromLatin1(desktop.result().toHex().left(16)));
}

} // namespace

SingleInstance::SingleInstance(QObject *parent) : QObject(parent), name_(serverName())
{
    server_.setSocketOptions(QLocalServer::AbstractNamespaceOption);
    connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::answerKnocks);
}

bool SingleInstance::handedToRunningCopy()
{
    if (knock())
        return true;
    if (server_.listen(name_))
        return false;
    // Two copies started at the same moment: the other one listens now.
    // If it does not answer either, run without the guard rather than not at all.
    return knock();
}

void SingleInstance::setWindow(QWidget *window)
{
    window_ = window;
}

bool SingleInstance::knock()
{
    QLocalSocket socket;
    socket.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
    socket.connectToServer(name_);
    if (!socket.waitForConnected(kKnockTimeoutMs))
        return false;
    socket.write("\n");
    socket.waitForBytesWritten(kKnockTimeoutMs);
    socket.disconnectFromServer();
    return true;
}

void SingleInstance::answerKnocks()
{
    while (QLocalSocket *socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        socket->disconnectFromServer();
        bringForward();
    }
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
