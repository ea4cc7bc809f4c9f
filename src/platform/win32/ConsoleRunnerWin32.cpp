#include <windows.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "processing/ConsoleRunner.h"

// The child runs hidden in a console of its own, with its standard input, output and error on
// anonymous pipes; its output and error share one pipe. The runner's own ends are never
// inheritable. The child is put in a job of its own before it runs, so that everything it
// starts can be ended with it. The job ends them when its last handle closes, which the system
// does when this program ends in any way, so no tool outlives the program.

namespace {

// The most one read takes from the child's output.
const DWORD kBlockBytes = 65536;
// The status a tool ended by the runner gets: the one Windows gives a console program ended by
// Ctrl+C or by closing its console.
const UINT kEndedByRunnerStatus = 0xC000013A;

// Only a post-download run starts tools, and nobody may be there to close a system box: a tool
// that crashes ends as a failed stage, and a drive without its disk is an error. A child
// inherits the error mode of the process that starts it.
const UINT kUnattendedErrorMode =
    SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX;

// Held from the moment inheritable pipe ends exist until the child has its copies and they are
// closed again, so that a child started by another runner of this process never inherits
// them: a stray copy of a pipe's write end would keep that pipe from ever breaking.
std::mutex g_inheritableHandles;

void CloseAndClear(HANDLE* handle) {
    if (*handle) {
        CloseHandle(*handle);
        *handle = nullptr;
    }
}

// Handles that exist only while a child is being made.
struct SLaunchHandles {
    HANDLE outputRead = nullptr;   // R1
    HANDLE outputWrite = nullptr;  // W1, the child's standard output
    HANDLE errorWrite = nullptr;   // W1e, the child's standard error
    HANDLE inputRead = nullptr;    // R2, the child's standard input
    HANDLE inputWrite = nullptr;   // W2

    SLaunchHandles() = default;
    SLaunchHandles(const SLaunchHandles&) = delete;
    SLaunchHandles& operator=(const SLaunchHandles&) = delete;
    ~SLaunchHandles() {
        for (HANDLE* handle : {&outputRead, &outputWrite, &errorWrite, &inputRead, &inputWrite}) {
            CloseAndClear(handle);
        }
    }
};

DWORD CopyHandle(HANDLE source, HANDLE* copy, bool inheritable) {
    const HANDLE self = GetCurrentProcess();
    if (DuplicateHandle(self, source, self, copy, 0, inheritable, DUPLICATE_SAME_ACCESS)) return 0;
    *copy = nullptr;
    return GetLastError();
}

PROCESS_INFORMATION StartHidden(const std::string& commandLine, const SLaunchHandles& pipes,
                                DWORD* error) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    startup.hStdInput = pipes.inputRead;
    startup.hStdOutput = pipes.outputWrite;
    startup.hStdError = pipes.errorWrite;
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    PROCESS_INFORMATION process{};
    SetErrorMode(GetErrorMode() | kUnattendedErrorMode);
    // Suspended until it is in its job, so nothing it starts escapes the job.
    *error =
        CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE,
                       CREATE_NEW_CONSOLE | CREATE_SUSPENDED, nullptr, nullptr, &startup, &process)
            ? 0
            : GetLastError();
    return process;
}

// A program that runs inside a job which allows no other may not get one; it then ends only
// the child itself.
HANDLE JobFor(HANDLE process) {
    HANDLE job = CreateJobObjectA(nullptr, nullptr);
    if (!job) return nullptr;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    if (!AssignProcessToJobObject(job, process)) CloseAndClear(&job);
    return job;
}

bool IsStillRunning(HANDLE process) {
    return process && WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
}

// A child that the runner lets go of while it runs goes on running, so its job must stay
// open until it ends; a thread keeps it. Without a thread the job stays open until this
// program ends.
void CloseJobWhenProcessEnds(HANDLE job, HANDLE process) {
    try {
        std::thread([job, process] {
            WaitForSingleObject(process, INFINITE);
            CloseHandle(job);
            CloseHandle(process);
        }).detach();
    } catch (const std::system_error&) {
    }
}

bool IsPipeEnd(DWORD error) {
    return error == ERROR_BROKEN_PIPE || error == ERROR_NO_DATA;
}

}  // namespace

struct CConsoleRunner::Child {
    HANDLE process = nullptr;
    HANDLE job = nullptr;
    HANDLE stopEvent = nullptr;   // manual reset: asks the reader to end
    HANDLE inputWrite = nullptr;  // the runner's end of the child's standard input
    HANDLE outputRead = nullptr;  // the runner's end of the child's standard output and error
    bool waitFailed = false;      // the child's end could not be waited for

    Child() = default;
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    ~Child() {
        if (job && IsStillRunning(process)) {
            CloseJobWhenProcessEnds(job, process);
            job = process = nullptr;
        }
        for (HANDLE* handle : {&stopEvent, &process, &inputWrite, &outputRead, &job}) {
            CloseAndClear(handle);
        }
    }
};

int CConsoleRunner::LaunchChild(const std::string& commandLine, std::shared_ptr<Child>* launched) {
    auto child = std::make_shared<Child>();
    child->stopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!child->stopEvent) return static_cast<int>(GetLastError());
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    const std::lock_guard<std::mutex> hold(g_inheritableHandles);
    SLaunchHandles pipes;
    DWORD error = 0;
    if (!CreatePipe(&pipes.outputRead, &pipes.outputWrite, &inheritable, 0) ||
        !CreatePipe(&pipes.inputRead, &pipes.inputWrite, &inheritable, 0)) {
        return static_cast<int>(GetLastError());
    }
    if ((error = CopyHandle(pipes.outputWrite, &pipes.errorWrite, true)) != 0 ||
        (error = CopyHandle(pipes.outputRead, &child->outputRead, false)) != 0 ||
        (error = CopyHandle(pipes.inputWrite, &child->inputWrite, false)) != 0) {
        return static_cast<int>(error);
    }
    CloseAndClear(&pipes.outputRead);
    CloseAndClear(&pipes.inputWrite);
    const PROCESS_INFORMATION process = StartHidden(commandLine, pipes, &error);
    if (error != 0) return static_cast<int>(error);
    child->process = process.hProcess;
    child->job = JobFor(process.hProcess);
    ResumeThread(process.hThread);
    CloseHandle(process.hThread);
    *launched = std::move(child);
    return 0;
}

// An anonymous pipe cannot be waited on, so new output is looked for when the wait times out.
// A child whose end cannot be waited for is ended with everything it started, since nobody
// could otherwise tell when it has finished with the files the next step uses.
CConsoleRunner::Wakeup CConsoleRunner::WaitForChildOrStop(Child& child, bool,
                                                          unsigned timeoutMilliseconds) {
    const HANDLE waitSet[2] = {child.process, child.stopEvent};
    switch (WaitForMultipleObjects(2, waitSet, FALSE, timeoutMilliseconds)) {
        case WAIT_OBJECT_0:
            return Wakeup::ChildEnded;
        case WAIT_OBJECT_0 + 1:
            return Wakeup::StopRequested;
        case WAIT_TIMEOUT:
            return Wakeup::TimedOut;
        default:
            child.waitFailed = true;
            TerminateChild(child, true);
            return Wakeup::ChildEnded;
    }
}

// Reads only what the pipe already holds, so a child that has ended while something it
// started still holds the pipe open never keeps the reader waiting.
CConsoleRunner::PipeRead CConsoleRunner::ReadOutputBlock(Child& child, std::string* block) {
    DWORD available = 0;
    if (PeekNamedPipe(child.outputRead, nullptr, 0, nullptr, &available, nullptr)) {
        if (available == 0) return PipeRead::EmptyForNow;
        block->resize(std::min(available, kBlockBytes));
        DWORD count = 0;
        if (ReadFile(child.outputRead, &(*block)[0], static_cast<DWORD>(block->size()), &count,
                     nullptr) &&
            count > 0) {
            block->resize(count);
            return PipeRead::Piece;
        }
    }
    return IsPipeEnd(GetLastError()) ? PipeRead::Closed : PipeRead::Failed;
}

// A failed query, like a failed wait, leaves the end unseen.
SToolExit CConsoleRunner::ChildExit(Child& child) {
    SToolExit exit;
    DWORD code = 0;
    if (!child.waitFailed && GetExitCodeProcess(child.process, &code) && code != STILL_ACTIVE) {
        exit.kind = SToolExit::EKind::Exited;
        exit.code = static_cast<int>(code);
    }
    return exit;
}

void CConsoleRunner::SignalStop(Child& child) {
    SetEvent(child.stopEvent);
}

// Every byte is written, however many writes the pipe needs.
bool CConsoleRunner::WriteToChild(Child& child, const std::string& text) {
    if (!child.inputWrite) return false;
    std::string::size_type written = 0;
    while (written < text.size()) {
        DWORD count = 0;
        if (!WriteFile(child.inputWrite, text.data() + written,
                       static_cast<DWORD>(text.size() - written), &count, nullptr) ||
            count == 0) {
            return false;
        }
        written += count;
    }
    return true;
}

void CConsoleRunner::CloseChildInput(Child& child) {
    CloseAndClear(&child.inputWrite);
}

// A console program in a console of its own cannot be asked to stop from outside that
// console, so a request ends the child and everything it started at once.
void CConsoleRunner::TerminateChild(Child& child, bool) {
    if (child.job) {
        TerminateJobObject(child.job, kEndedByRunnerStatus);
    } else {
        TerminateProcess(child.process, kEndedByRunnerStatus);
    }
}
