#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QSocketNotifier;
class QWidget;

// One running copy per user and desktop. The first copy listens on a local
// socket in the abstract namespace, so nothing is written to the file system
// and nothing is left behind when it ends; a later copy only knocks there
// and ends, and the first one comes to the front. A Wayland compositor lets a
// window come forward only with an activation token: the later copy hands on
// the one its launcher gave it (XDG_ACTIVATION_TOKEN) with the knock.
//
// Plain sockets rather than Qt Network: that library and the Kerberos and
// proxy libraries it brings would cost every start-up a megabyte and more.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    explicit SingleInstance(QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when a copy is already running and has been asked to come forward:
    // this one has nothing more to do. Otherwise this copy starts listening.
    bool handedToRunningCopy();

    // The window that comes to the front when another start knocks.
    void setWindow(QWidget *window);

private:
    bool knock() const;
    bool listen();
    void answerKnocks();
    void bringForward(const QByteArray &activationToken);

    const QByteArray name_;
    int listener_ = -1;
    std::unique_ptr<QSocketNotifier> knocks_;
    QWidget *window_ = nullptr;
};
