#pragma once

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QObject>

class QWidget;

// One running copy per user and session. The first copy owns a named mutex
// in the session's namespace (Local\), which Windows releases when the
// process ends, however it ends; a later copy finds it taken, lets the first
// copy take the foreground, tells it to come forward with a message of the
// desktop's own and ends. The first copy also holds a mutex that tells the
// installer the program is in use.
//
// The same public face as the other platforms' SingleInstance.
class SingleInstance : public QObject, private QAbstractNativeEventFilter
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
    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;
    void knock() const;
    void bringForward();

    const QByteArray name_;
    const unsigned int knockMessage_;
    void *mutex_ = nullptr;
    void *inUse_ = nullptr;
    bool forwardPending_ = false;
    QWidget *window_ = nullptr;
};
