#include "WorkerLaunch.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcessEnvironment>

#include <windows.h>

#include <algorithm>
#include <array>
#include <vector>

// Windows has no administrator's rights that a started process could simply
// leave: the worker runs with the rights of whoever started the program. It
// is still a process of its own, with a fresh environment (where Windows and
// the program's libraries are, and Qt's platform that draws off screen), the
// root of the system drive as its folder and no console; of the handles that
// may be inherited, only its standard input, output and error reach it.

namespace {

// What of the program's environment the worker keeps.
constexpr std::array kKeptVariables{"SystemRoot", "SystemDrive", "windir", "PATH"};

QProcessEnvironment workerEnvironment()
{
    const QProcessEnvironment program = QProcessEnvironment::systemEnvironment();
    QProcessEnvironment worker;
    for (const char *name : kKeptVariables) {
        const QString key = QLatin1String(name);
        if (program.contains(key))
            worker.insert(key, program.value(key));
    }
    worker.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return worker;
}

} // namespace

struct WorkerLaunch::Plan
{
    std::vector<char> storage; // the attribute list that names the inherited handles
    std::vector<HANDLE> handles;
    STARTUPINFOEXW startup{};

    Plan() = default;
    ~Plan()
    {
        if (startup.lpAttributeList)
            DeleteProcThreadAttributeList(startup.lpAttributeList);
    }
    Plan(const Plan &) = delete;
    Plan &operator=(const Plan &) = delete;

    // The standard handles QProcess made for the worker, each once.
    void takeStandardHandles(const STARTUPINFOW &given)
    {
        startup.StartupInfo = given;
        startup.StartupInfo.cb = sizeof startup;
        for (HANDLE handle : {given.hStdInput, given.hStdOutput, given.hStdError}) {
            if (handle && handle != INVALID_HANDLE_VALUE &&
                std::find(handles.cbegin(), handles.cend(), handle) == handles.cend())
                handles.push_back(handle);
        }
    }

    // Whether the list that lets only those handles through is made.
    bool listHandles()
    {
        SIZE_T size = 0;
        InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
        storage.resize(size);
        const auto list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage.data());
        if (!InitializeProcThreadAttributeList(list, 1, 0, &size))
            return false;
        startup.lpAttributeList = list;
        return UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles.data(),
                                         handles.size() * sizeof(HANDLE), nullptr, nullptr);
    }

    void adjust(QProcess::CreateProcessArguments *arguments)
    {
        arguments->flags |= CREATE_NO_WINDOW;
        takeStandardHandles(*arguments->startupInfo);
        if (handles.empty() || !listHandles())
            return;
        arguments->flags |= EXTENDED_STARTUPINFO_PRESENT;
        arguments->startupInfo = &startup.StartupInfo;
    }
};

WorkerLaunch::WorkerLaunch() = default;

WorkerLaunch::~WorkerLaunch() = default;

bool WorkerLaunch::prepare(QProcess &process, const QStringList &arguments)
{
    plan_ = std::make_shared<Plan>();
    process.setProgram(QCoreApplication::applicationFilePath());
    process.setArguments(arguments);
    process.setProcessEnvironment(workerEnvironment());
    process.setWorkingDirectory(QDir::rootPath());
    process.setCreateProcessArgumentsModifier(
        [plan = plan_](QProcess::CreateProcessArguments *given) { plan->adjust(given); });
    return true;
}

void WorkerLaunch::release(QProcess &process) const
{
    process.setCreateProcessArgumentsModifier({});
}
