#include "WorkerLaunch.h"

#include <QCoreApplication>
#include <QFile>

#include <fcntl.h>
#include <grp.h>
#include <linux/close_range.h>
#include <pwd.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <optional>
#include <vector>

// Run by the administrator (with an effective user id of 0), the worker
// becomes the user who asked for it (SUDO_UID and SUDO_GID, else PKEXEC_UID),
// else nobody, with no supplementary groups, and can never gain rights again.
// Its folder is the root, and it ends with the program that started it.

namespace {

// Exit statuses of a worker that stopped before it was loaded.
constexpr int kCouldNotDrop = 126;
constexpr int kCouldNotLoad = 127;

constexpr uid_t kNobody = 65534;
constexpr gid_t kNoGroup = 65534;

struct Identity
{
    bool drop = false; // whether the rights of the administrator are left
    uid_t uid = 0;
    gid_t gid = 0;
    QByteArray home = "/";
};

// A user or group id written in decimal, other than 0 and -1.
std::optional<unsigned> idFrom(const QByteArray &text)
{
    if (text.isEmpty() || text.size() > 10 ||
        !std::all_of(text.cbegin(), text.cend(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    bool ok = false;
    const qulonglong id = text.toULongLong(&ok);
    if (!ok || id == 0 || id >= 0xFFFFFFFFull)
        return std::nullopt;
    return unsigned(id);
}

gid_t noGroup()
{
    const group *entry = ::getgrnam("nogroup");
    return entry ? entry->gr_gid : kNoGroup;
}

QByteArray homeOf(uid_t uid)
{
    const passwd *entry = ::getpwuid(uid);
    return entry && entry->pw_dir && *entry->pw_dir ? QByteArray(entry->pw_dir) : "/";
}

gid_t primaryGroupOf(uid_t uid)
{
    const passwd *entry = ::getpwuid(uid);
    return entry && entry->pw_gid != 0 ? entry->pw_gid : noGroup();
}

Identity userOf(uid_t uid, std::optional<unsigned> gid)
{
    return {true, uid, gid ? gid_t(*gid) : primaryGroupOf(uid), homeOf(uid)};
}

// Who the worker runs as.
Identity workerIdentity()
{
    if (::geteuid() != 0)
        return {false, ::getuid(), ::getgid(), homeOf(::getuid())};
    if (const std::optional<unsigned> uid = idFrom(qgetenv("SUDO_UID")))
        return userOf(*uid, idFrom(qgetenv("SUDO_GID")));
    if (const std::optional<unsigned> uid = idFrom(qgetenv("PKEXEC_UID")))
        return userOf(*uid, std::nullopt);
    const passwd *nobody = ::getpwnam("nobody");
    return {true, nobody ? nobody->pw_uid : kNobody, noGroup(),
            homeOf(nobody ? nobody->pw_uid : kNobody)};
}

// Texts kept alive for execveat(), with the null-ended arrays that point into them.
struct Strings
{
    std::vector<QByteArray> texts;
    std::vector<char *> pointers;

    explicit Strings(std::vector<QByteArray> all) : texts(std::move(all))
    {
        for (QByteArray &text : texts)
            pointers.push_back(text.data());
        pointers.push_back(nullptr);
    }
};

} // namespace

struct WorkerLaunch::Plan
{
    Identity identity;
    int program = -1; // the running executable, opened before the fork
    Strings arguments;
    Strings environment;

    Plan(Identity who, int executable, std::vector<QByteArray> args, std::vector<QByteArray> env)
        : identity(std::move(who)), program(executable), arguments(std::move(args)),
          environment(std::move(env))
    {}
    ~Plan()
    {
        if (program >= 0)
            ::close(program);
    }
    Plan(const Plan &) = delete;
    Plan &operator=(const Plan &) = delete;

    // In the child, between fork and exec: system calls only, no allocation.
    [[noreturn]] void enter() const noexcept
    {
        if (identity.drop && (::setgroups(0, nullptr) != 0 ||
                              ::setresgid(identity.gid, identity.gid, identity.gid) != 0 ||
                              ::setresuid(identity.uid, identity.uid, identity.uid) != 0 ||
                              ::setresuid(0, 0, 0) == 0))
            ::_exit(kCouldNotDrop);
        if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0)
            ::_exit(kCouldNotDrop);
        // Ends with the program that started it; a change of identity clears it.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL, 0, 0, 0);
        // Every inherited file but the standard three closes on exec.
        ::syscall(SYS_close_range, 3U, ~0U, CLOSE_RANGE_CLOEXEC);
        // Loaded from the file opened before: the user need not reach its folder.
        ::syscall(SYS_execveat, program, "", arguments.pointers.data(), environment.pointers.data(),
                  AT_EMPTY_PATH);
        ::_exit(kCouldNotLoad);
    }
};

WorkerLaunch::WorkerLaunch() = default;

WorkerLaunch::~WorkerLaunch() = default;

bool WorkerLaunch::prepare(QProcess &process, const QStringList &arguments)
{
    const int program = ::open("/proc/self/exe", O_RDONLY | O_CLOEXEC);
    if (program < 0)
        return false;
    std::vector<QByteArray> args{QFile::encodeName(QCoreApplication::applicationFilePath())};
    for (const QString &argument : arguments)
        args.push_back(argument.toLocal8Bit());
    const Identity identity = workerIdentity();
    // The worker needs no folder of its own for temporary or run-time files;
    // without one that exists, Qt does not make itself one in /tmp either.
    std::vector<QByteArray> environment{"PATH=/usr/bin:/bin", "HOME=" + identity.home,
                                        "LANG=C.UTF-8", "QT_QPA_PLATFORM=offscreen",
                                        "TMPDIR=/nonexistent/tmp"};
    plan_ = std::make_shared<Plan>(identity, program, std::move(args), std::move(environment));
    process.setProgram(QCoreApplication::applicationFilePath());
    process.setArguments(arguments);
    process.setWorkingDirectory(QStringLiteral("/"));
    process.setChildProcessModifier([plan = plan_]() { plan->enter(); });
    return true;
}

void WorkerLaunch::release(QProcess &process) const
{
    process.setChildProcessModifier({});
}
