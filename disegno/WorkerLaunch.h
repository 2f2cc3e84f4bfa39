#pragma once

#include <QProcess>
#include <QStringList>

#include <memory>

// How this program starts the worker process that reads a picture. Run by the
// administrator (with an effective user id of 0), the worker leaves the
// administrator's rights before it is even loaded: it becomes the user who
// asked for it (SUDO_UID and SUDO_GID, else PKEXEC_UID), else nobody, with no
// supplementary groups, and can never gain rights again. Its environment is
// made afresh, its folder is the root, and no open file but its standard
// input, output and error reaches it. One back end per platform.
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

private:
    struct Plan;
    std::shared_ptr<Plan> plan_;
};
