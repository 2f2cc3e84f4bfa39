#pragma once

#include <QProcess>
#include <QStringList>

#include <memory>

// How this program starts the worker process that reads a picture: this very
// program again, apart from the process that writes drawings, so that what a
// damaged picture may do to the readers stays in a process that can write
// nothing but its reply. Its environment is made afresh with only what it
// needs, and no open file but its standard input, output and error reaches
// it. Where the platform knows an administrator to leave, the worker leaves
// those rights before it is even loaded. One back end per platform
// (WorkerLaunch_Linux.cpp, WorkerLaunch_Windows.cpp).
class WorkerLaunch
{
public:
    WorkerLaunch();
    ~WorkerLaunch();

    WorkerLaunch(const WorkerLaunch &) = delete;
    WorkerLaunch &operator=(const WorkerLaunch &) = delete;

    // Sets `process` up to run this program with `arguments`; false when it
    // cannot be (then `process` must not be started). The object must live
    // until the process has started.
    bool prepare(QProcess &process, const QStringList &arguments);

    // Takes back from `process` what prepare() set up in it, once the process
    // has started or failed to.
    void release(QProcess &process) const;

private:
    struct Plan;
    std::shared_ptr<Plan> plan_;
};
