#pragma once

#include <QLocalServer>
#include <QObject>

class QWidget;

// One running copy per user and desktop. The first copy listens on a local
// socket in the abstract namespace, so nothing is written to the file system
// and nothing is left behind when it ends; a later copy only knocks there
// and ends, and the first one comes to the front.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    explicit SingleInstance(QObject *parent = nullptr);

    // True when a copy is already running and has been asked to come forward:
    // this one has nothing more to do. Otherwise this copy starts listening.
    bool handedToRunningCopy();

    // The window that comes to the front when another start knocks.
    void setWindow(QWidget *window);

private:
    bool knock();
    void answerKnocks();
    void bringForward();

    const QString name_;
    QLocalServer server_;
    QWidget *window_ = nullptr;
};
