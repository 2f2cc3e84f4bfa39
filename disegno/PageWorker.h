#pragma once

#include "Conversion.h"
#include "WorkerLaunch.h"

#include <QObject>
#include <QProcess>
#include <QTimer>

#include <chrono>
#include <memory>

// Turns a picture into a colouring page in a worker process of this program
// (WorkerLaunch says with which rights), so that no decoder of pictures ever
// runs in the process that writes the drawing. The worker gets the picture's
// bytes on its standard input and answers on its standard output; what it
// answers is read as a reply of bounded size, never trusted further, and a
// worker that takes too long is stopped.
class PageWorker : public QObject
{
    Q_OBJECT

public:
    explicit PageWorker(QObject *parent = nullptr);

    // Hands `bytes`, the picture of the file `name`, to a new worker, which
    // has `bound` to answer. finished() follows, once, in any case.
    void start(const QByteArray &bytes, const QString &name, std::chrono::milliseconds bound);

    bool hasEnded() const { return ended_; }

signals:
    // The page, or why there is none (also when the worker failed).
    void finished(const Conversion &conversion);

private:
    void readOutput();
    void workerEnded(int exitCode, QProcess::ExitStatus status);
    void timeRanOut();
    void end(const QString &refusal);
    void end(const Conversion &conversion);

    QProcess process_;
    QTimer deadline_;
    QByteArray output_;
    std::unique_ptr<WorkerLaunch> launch_;
    std::chrono::milliseconds bound_{0};
    bool ended_ = true;
};
