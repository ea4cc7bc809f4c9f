#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <condition_variable>
#include <cstdlib>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/StopRequest.h"
#include "platform/posix/ProgramSearchPosix.h"
#include "platform/posix/RetryPosix.h"
#include "platform/posix/WriteAllPosix.h"
#include "processing/CommandLineSplit.h"
#include "processing/ConsoleRunner.h"

// Every descriptor is made close-on-exec when it is created, so that no child started by any
// thread of this process inherits one; a stray copy of a pipe's write end would keep a reader
// from ever seeing the end of its child's output. Only the child's three standard streams are
// handed on, by dup2 in the child, which also closes whatever others left open across exec (a
// library, or whoever started this process): a tool that outlives us must not hold them.
//
// A tool must not outlive this process either, however it ends (SIGKILL included): the child
// asks the system for SIGKILL when its parent goes. The system sends that when the THREAD that
// forked ends, so the fork is made by the thread that waits for the child, which lives exactly
// as long as the child does.

namespace {

// The most one read takes from the child's output. Large, so a tool that prints a lot costs
// few reads.
const size_t kBlockBytes = 65536;
const int kPipeBytes = 1024 * 1024;


void CloseDescriptor(int* fd) {
    if (*fd >= 0) {
        close(*fd);
        *fd = -1;
    }
}

// What the runner and the child's reaper thread share: the child's end, the stop request, and
// a pipe that wakes the reader for either. It is never read, so it stays readable once
// written, like a manual-reset event.
struct ChildWatch {
    std::mutex lock;
    std::condition_variable changed;
    pid_t pid = 0;  // 0 until the fork; -1 when no child was made
    int forkError = 0;
    bool ended = false;
    bool endSeen = false;  // whether a wait reported the end, rather than failing
    int waitStatus = 0;    // as waitpid gave it, once its end was seen
    bool stopRequested = false;
    int wakeRead = -1;
    int wakeWrite = -1;
};

// The caller holds the watch's lock. A full pipe is already readable, so a failed write loses
// nothing.
void WakeReader(ChildWatch& watch) {
    if (watch.wakeWrite < 0) return;
    const char byte = 1;
    const ssize_t ignored = write(watch.wakeWrite, &byte, 1);
    (void)ignored;
}

struct Pipe {
    int read = -1;
    int write = -1;

    ~Pipe() {
        CloseDescriptor(&read);
        CloseDescriptor(&write);
    }
    int Create(int extraFlags) {
        int ends[2];
        if (pipe2(ends, O_CLOEXEC | extraFlags) != 0) return errno;
        read = ends[0];
        write = ends[1];
        return 0;
    }
};

int TakeDescriptor(int* fd) {
    const int taken = *fd;
    *fd = -1;
    return taken;
}

// Everything the child needs, made before the fork: after it, the child may only make
// async-signal-safe calls.
struct ExecPlan {
    std::string path;
    std::vector<std::string> arguments;
    std::vector<char*> argv;
    char** environment = nullptr;
    sigset_t noSignals;
    pid_t parent = 0;
};

int MakeExecPlan(const std::string& commandLine, ExecPlan* plan) {
    plan->arguments = SplitWindowsCommandLine(commandLine);
    const int error =
        FindProgram(plan->arguments.empty() ? std::string() : plan->arguments.front(), &plan->path);
    if (error != 0) return error;
    for (std::string& argument : plan->arguments) plan->argv.push_back(&argument[0]);
    plan->argv.push_back(nullptr);
    plan->environment = environ;
    sigemptyset(&plan->noSignals);
    plan->parent = getpid();
    return 0;
}

// Keeps a descriptor that is still to be moved onto 0, 1 or 2 from being overwritten there.
int AboveStandardStreams(int fd) {
    return fd > STDERR_FILENO ? fd : fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
}

// Closes every descriptor above the standard streams but `keep`.
void CloseDescriptorsBeyondStandardStreams(int keep) {
    if (keep > STDERR_FILENO + 1) close_range(STDERR_FILENO + 1, static_cast<unsigned>(keep) - 1, 0);
    close_range(static_cast<unsigned>(keep) + 1, ~0U, 0);
}

// In the forked child. Its own session stands in for a console of its own: the child gets no
// terminal and no signal meant for ours, and its process group holds everything it starts.
// An ignored SIGPIPE or SIGXFSZ would be inherited through the exec, so the child gets the
// defaults back.
// A parent that has already gone by the time the child asks to follow it is seen in the
// child's new parent. An exec failure goes back to the parent as errno through the status
// pipe, which the exec closes on success.
[[noreturn]] void BecomeChild(const ExecPlan& plan, int inputRead, int outputWrite,
                              int statusWrite) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != plan.parent) _exit(127);
    signal(SIGPIPE, SIG_DFL);
    signal(SIGXFSZ, SIG_DFL);
    sigprocmask(SIG_SETMASK, &plan.noSignals, nullptr);
    setsid();
    const int status = AboveStandardStreams(statusWrite);
    const int input = AboveStandardStreams(inputRead);
    const int output = AboveStandardStreams(outputWrite);
    if (input >= 0 && output >= 0 && dup2(input, STDIN_FILENO) >= 0 &&
        dup2(output, STDOUT_FILENO) >= 0 && dup2(output, STDERR_FILENO) >= 0) {
        CloseDescriptorsBeyondStandardStreams(status);
        execve(plan.path.c_str(), plan.argv.data(), plan.environment);
    }
    const int error = errno;
    const ssize_t ignored = write(status, &error, sizeof error);
    (void)ignored;
    _exit(127);
}

// 0 when the exec succeeded (the status pipe closed without a word).
int ReadExecError(int statusRead) {
    int error = 0;
    const ssize_t count = RetryInterrupted([&] { return read(statusRead, &error, sizeof error); });
    return count == static_cast<ssize_t>(sizeof error) ? error : 0;
}

// What the reaper thread needs to make the child. The plan is only read by the child, in its
// own copy of the memory, so it need not outlive the fork.
struct ForkOrder {
    std::shared_ptr<ChildWatch> watch;
    const ExecPlan* plan = nullptr;
    int inputRead = -1;
    int outputWrite = -1;
    int statusWrite = -1;
};

void HandOverChild(ChildWatch& watch, pid_t pid, int error) {
    {
        std::lock_guard<std::mutex> hold(watch.lock);
        watch.pid = pid;
        watch.forkError = error;
    }
    watch.changed.notify_all();
}

bool WaitForProcess(pid_t pid, int* status) {
    return RetryInterrupted([&] { return waitpid(pid, status, 0); }) == pid;
}

// False when the wait failed, so the end was not seen: the child is then ended by force with
// everything it started, since nobody could otherwise tell when it has finished with the files
// the next step uses, and a second wait reaps it.
bool WaitForChildEnd(pid_t pid, int* status) {
    if (WaitForProcess(pid, status)) return true;
    kill(-pid, SIGKILL);
    int ignored;
    WaitForProcess(pid, &ignored);
    return false;
}

// Makes the child and waits for it, whether or not a runner still watches it, so that no
// child is left as a zombie; a child left running when its runner stops is reaped whenever
// it ends.
void* ForkAndReapChild(void* handedOver) {
    const std::unique_ptr<ForkOrder> order(static_cast<ForkOrder*>(handedOver));
    const pid_t pid = fork();
    if (pid == 0) {
        BecomeChild(*order->plan, order->inputRead, order->outputWrite, order->statusWrite);
    }
    ChildWatch& watch = *order->watch;
    HandOverChild(watch, pid < 0 ? -1 : pid, pid < 0 ? errno : 0);
    int status = 0;
    const bool seen = pid > 0 && WaitForChildEnd(pid, &status);
    std::lock_guard<std::mutex> hold(watch.lock);
    watch.ended = true;
    watch.endSeen = seen;
    watch.waitStatus = status;
    WakeReader(watch);
    watch.changed.notify_all();
    return nullptr;
}

// Has a new reaper thread fork the child, and waits for the fork: 0 once the child exists
// (its id is in the watch), or the error that kept it from being made.
int StartChildThroughReaper(const ForkOrder& order) {
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    auto* handedOver = new ForkOrder(order);
    pthread_t thread;
    const int error = pthread_create(&thread, &attributes, ForkAndReapChild, handedOver);
    pthread_attr_destroy(&attributes);
    if (error != 0) {
        delete handedOver;
        return error;
    }
    ChildWatch& watch = *order.watch;
    std::unique_lock<std::mutex> hold(watch.lock);
    watch.changed.wait(hold, [&] { return watch.pid != 0; });
    return watch.forkError;
}

void WaitUntilReaped(ChildWatch& watch) {
    std::unique_lock<std::mutex> hold(watch.lock);
    watch.changed.wait(hold, [&] { return watch.ended; });
}

// A write to a pipe whose reader has gone raises SIGPIPE at the writing thread, and by default
// that ends the process. The signal is blocked for this thread during the write and, when the
// write raised it, taken back; neither the process's disposition nor the one a child inherits
// changes.
bool WriteWithoutBrokenPipeSignal(int fd, const std::string& bytes,
                                  const std::function<bool()>& stillWanted) {
    sigset_t brokenPipe, previousMask, pending;
    sigemptyset(&brokenPipe);
    sigaddset(&brokenPipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &brokenPipe, &previousMask);
    sigpending(&pending);
    const bool alreadyPending = sigismember(&pending, SIGPIPE) == 1;
    const bool written = WriteAll(fd, bytes, stillWanted);
    if (!written && errno == EPIPE && !alreadyPending) {
        const timespec noWait{0, 0};
        RetryInterrupted([&] { return sigtimedwait(&brokenPipe, nullptr, &noWait); });
    }
    pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
    return written;
}

}  // namespace

struct CConsoleRunner::Child {
    int inputWrite = -1;  // the runner's end of the child's standard input
    int outputRead = -1;  // the runner's end of the child's standard output and error
    std::shared_ptr<ChildWatch> watch = std::make_shared<ChildWatch>();

    Child() = default;
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    ~Child() {
        CloseDescriptor(&inputWrite);
        CloseDescriptor(&outputRead);
        std::lock_guard<std::mutex> hold(watch->lock);
        CloseDescriptor(&watch->wakeRead);
        CloseDescriptor(&watch->wakeWrite);
    }
};

int CConsoleRunner::LaunchChild(const std::string& commandLine, std::shared_ptr<Child>* launched) {
    ExecPlan plan;
    int error = MakeExecPlan(commandLine, &plan);
    if (error != 0) return error;
    auto child = std::make_shared<Child>();
    Pipe output, input, status, wake;
    if ((error = output.Create(0)) != 0 || (error = input.Create(0)) != 0 ||
        (error = status.Create(0)) != 0 || (error = wake.Create(O_NONBLOCK)) != 0) {
        return error;
    }
    // The reader drains and the writer writes without blocking; the child's ends stay blocking. A
    // large pipe lets a tool that prints a lot go on while the reader gathers its output (where the
    // system allows one; the default size works too).
    if (fcntl(output.read, F_SETFL, fcntl(output.read, F_GETFL) | O_NONBLOCK) != 0 ||
        fcntl(input.write, F_SETFL, fcntl(input.write, F_GETFL) | O_NONBLOCK) != 0)
        return errno;
    fcntl(output.read, F_SETPIPE_SZ, kPipeBytes);
    child->watch->wakeRead = TakeDescriptor(&wake.read);
    child->watch->wakeWrite = TakeDescriptor(&wake.write);
    if ((error = StartChildThroughReaper(
             {child->watch, &plan, input.read, output.write, status.write})) != 0) {
        return error;
    }

    CloseDescriptor(&output.write);
    CloseDescriptor(&input.read);
    CloseDescriptor(&status.write);
    if ((error = ReadExecError(status.read)) != 0) {
        WaitUntilReaped(*child->watch);
        return error;
    }
    child->outputRead = TakeDescriptor(&output.read);
    child->inputWrite = TakeDescriptor(&input.write);
    *launched = std::move(child);
    return 0;
}

CConsoleRunner::Wakeup CConsoleRunner::WaitForChildOrStop(Child& child, bool outputOpen,
                                                          unsigned timeoutMilliseconds) {
    // Output wakes the wait as well, so that it is read at once rather than after the time-out.
    // A closed output would wake it at once, every time, so it is watched only while open.
    pollfd watched[2] = {{child.watch->wakeRead, POLLIN, 0}, {child.outputRead, POLLIN, 0}};
    poll(watched, outputOpen ? 2 : 1, static_cast<int>(timeoutMilliseconds));
    std::lock_guard<std::mutex> hold(child.watch->lock);
    if (child.watch->ended) return Wakeup::ChildEnded;
    if (child.watch->stopRequested) return Wakeup::StopRequested;
    if (outputOpen && (watched[1].revents & (POLLIN | POLLHUP)) != 0) return Wakeup::OutputReady;
    return Wakeup::TimedOut;
}

CConsoleRunner::PipeRead CConsoleRunner::ReadOutputBlock(Child& child, std::string* block) {
    // Read straight into the block: after the first read it keeps its size, so nothing is
    // copied or cleared on the way.
    block->resize(kBlockBytes);
    const ssize_t count =
        RetryInterrupted([&] { return read(child.outputRead, &(*block)[0], block->size()); });
    if (count > 0) {
        block->resize(static_cast<size_t>(count));
        return PipeRead::Piece;
    }
    block->clear();
    if (count == 0) return PipeRead::Closed;
    return errno == EAGAIN || errno == EWOULDBLOCK ? PipeRead::EmptyForNow : PipeRead::Failed;
}

void CConsoleRunner::SignalStop(Child& child) {
    std::lock_guard<std::mutex> hold(child.watch->lock);
    child.watch->stopRequested = true;
    WakeReader(*child.watch);
}

// A tool that does not read its input must not hold up the run: the write gives way once the
// program is asked to stop, the runner is stopped or the tool has ended.
bool CConsoleRunner::WriteToChild(Child& child, const std::string& text) {
    ChildWatch& watch = *child.watch;
    const auto stillWanted = [&watch] {
        std::lock_guard<std::mutex> hold(watch.lock);
        return StopRequestSignal() == 0 && !watch.stopRequested && !watch.ended;
    };
    return child.inputWrite >= 0 &&
           WriteWithoutBrokenPipeSignal(child.inputWrite, text, stillWanted);
}

void CConsoleRunner::CloseChildInput(Child& child) {
    CloseDescriptor(&child.inputWrite);
}

SToolExit CConsoleRunner::ChildExit(Child& child) {
    std::lock_guard<std::mutex> hold(child.watch->lock);
    SToolExit exit;
    if (!child.watch->endSeen) return exit;
    const int status = child.watch->waitStatus;
    if (WIFEXITED(status)) {
        exit.kind = SToolExit::EKind::Exited;
        exit.code = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        exit.kind = SToolExit::EKind::Signalled;
        exit.code = WTERMSIG(status);
    }
    return exit;
}

// The child leads a process group of its own (its session), so the group's id is the child's
// id; the system does not hand that id to a new process while the group has a member.
void CConsoleRunner::TerminateChild(Child& child, bool force) {
    pid_t group;
    {
        std::lock_guard<std::mutex> hold(child.watch->lock);
        group = child.watch->pid;
    }
    if (group > 0) kill(-group, force ? SIGKILL : SIGTERM);
}
