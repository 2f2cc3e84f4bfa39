#include "SingleInstance.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QWidget>

#include <windows.h>

#include <string>

namespace {

// A name of its own for every user: the session namespace already keeps
// apart the users logged on at once, and the user's name keeps apart a copy
// started as another user in the same session.
QByteArray mutexName()
{
    QCryptographicHash user(QCryptographicHash::Sha1);
    user.addData(qEnvironmentVariable("USERDOMAIN").toUtf8());
    user.addData(QByteArrayView("\\"));
    user.addData(qEnvironmentVariable("USERNAME").toUtf8());
    return "Local\\tingolamo-" + user.result().toHex().left(16);
}

// Held by the running copy of any user in the session, for the installer and
// the uninstaller, which must not replace or remove the files of a program
// in use: they look for it by this name (packaging/windows/NSIS.template.in).
constexpr wchar_t kInUseName[] = L"Local\\TINGOLAMO-aperto";

std::wstring wide(const QByteArray &name)
{
    return QString::fromLatin1(name).toStdWString();
}

} // namespace

SingleInstance::SingleInstance(QObject *parent)
    : QObject(parent), name_(mutexName()),
      knockMessage_(RegisterWindowMessageW(wide(name_ + "-avanti").c_str()))
{}

SingleInstance::~SingleInstance()
{
    for (void *handle : {mutex_, inUse_}) {
        if (handle)
            CloseHandle(handle);
    }
}

bool SingleInstance::handedToRunningCopy()
{
    HANDLE mutex = CreateMutexW(nullptr, FALSE, wide(name_).c_str());
    if (!mutex)
        return false; // cannot tell: run rather than not at all
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        knock();
        return true;
    }
    mutex_ = mutex;
    inUse_ = CreateMutexW(nullptr, FALSE, kInUseName);
    QCoreApplication::instance()->installNativeEventFilter(this);
    return false;
}

void SingleInstance::setWindow(QWidget *window)
{
    window_ = window;
}

// The message goes to every top-level window of the desktop and waits for
// none of them; the running copy is the one that knows it. This copy was
// just started by the user, so it may hand the foreground on.
void SingleInstance::knock() const
{
    AllowSetForegroundWindow(ASFW_ANY);
    PostMessageW(HWND_BROADCAST, knockMessage_, 0, 0);
}

bool SingleInstance::nativeEventFilter(const QByteArray &, void *message, qintptr *)
{
    const auto *msg = static_cast<const MSG *>(message);
    if (knockMessage_ == 0 || msg->message != knockMessage_)
        return false;
    // It reaches every top-level window of ours: come forward once.
    if (!forwardPending_) {
        forwardPending_ = true;
        QMetaObject::invokeMethod(this, &SingleInstance::bringForward, Qt::QueuedConnection);
    }
    return true;
}

void SingleInstance::bringForward()
{
    forwardPending_ = false;
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
