// Preloaded into pelkar by the failure-point sweep, for the calls of its helper threads (the
// reader of a tool's output and the reaper of the tool), which strace cannot single out because
// its fault injection counts calls per thread and the threads come and go with each tool.
//
// Only calls made by a thread other than the main one are counted, per function:
//   FAULT_SHIM_RECORD=FILE  appends each such call's function name to FILE, one a line;
//   FAULT_SHIM_CALL=NAME FAULT_SHIM_WHEN=N FAULT_SHIM_FAULT=ERRNO|SIGKILL
//                           makes the Nth such call of NAME fail with that errno, or kills
//                           the process there, and appends "hit" to FAULT_SHIM_HIT.
// The shim takes itself out of the environment at load, so the tools pelkar starts run
// without it.
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace {

struct ErrnoName {
    const char* name;
    int value;
};
const ErrnoName kErrnos[] = {{"EIO", EIO},       {"ENOSPC", ENOSPC}, {"EINTR", EINTR},
                             {"EACCES", EACCES}, {"ENOENT", ENOENT}, {"EAGAIN", EAGAIN},
                             {"EMFILE", EMFILE}, {"ECHILD", ECHILD}, {"EPIPE", EPIPE}};

int g_recordFd = -1;
const char* g_call = nullptr;
long g_when = 0;
int g_errno = 0;  // 0: kill instead
const char* g_hitPath = nullptr;
std::atomic<long> g_calls{0};

using ReadCall = ssize_t (*)(int, void*, size_t);
using WriteCall = ssize_t (*)(int, const void*, size_t);
using PollCall = int (*)(pollfd*, nfds_t, int);
using WaitCall = pid_t (*)(pid_t, int*, int);

template <typename Call>
Call Next(const char* name) {
    return reinterpret_cast<Call>(dlsym(RTLD_NEXT, name));
}

void AppendLine(int fd, const char* text) {
    char line[64];
    const size_t length = strnlen(text, sizeof line - 1);
    memcpy(line, text, length);
    line[length] = '\n';
    syscall(SYS_write, fd, line, length + 1);
}

bool OnHelperThread() {
    return syscall(SYS_gettid) != getpid();
}

// True when this call is to fail (errno is then set); never returns when it is to be killed.
bool Intercept(const char* name) {
    if (!OnHelperThread()) return false;
    if (g_recordFd >= 0) AppendLine(g_recordFd, name);
    if (!g_call || strcmp(g_call, name) != 0 || ++g_calls != g_when) return false;
    if (g_hitPath) {
        const int fd = open(g_hitPath, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (fd >= 0) {
            AppendLine(fd, "hit");
            close(fd);
        }
    }
    if (g_errno == 0) kill(getpid(), SIGKILL);
    errno = g_errno;
    return true;
}

int ErrnoNamed(const char* name) {
    for (const ErrnoName& known : kErrnos) {
        if (strcmp(known.name, name) == 0) return known.value;
    }
    return EIO;
}

__attribute__((constructor)) void TakeSettings() {
    if (const char* record = getenv("FAULT_SHIM_RECORD")) {
        g_recordFd = open(record, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    }
    g_call = getenv("FAULT_SHIM_CALL");
    const char* when = getenv("FAULT_SHIM_WHEN");
    g_when = when ? atol(when) : 0;
    const char* fault = getenv("FAULT_SHIM_FAULT");
    g_errno = fault && strcmp(fault, "SIGKILL") != 0 ? ErrnoNamed(fault) : 0;
    g_hitPath = getenv("FAULT_SHIM_HIT");
    unsetenv("LD_PRELOAD");
}

}  // namespace

extern "C" {

ssize_t read(int fd, void* buffer, size_t count) {
    static const ReadCall next = Next<ReadCall>("read");
    return Intercept("read") ? -1 : next(fd, buffer, count);
}

ssize_t write(int fd, const void* buffer, size_t count) {
    static const WriteCall next = Next<WriteCall>("write");
    return Intercept("write") ? -1 : next(fd, buffer, count);
}

int poll(pollfd* descriptors, nfds_t count, int timeout) {
    static const PollCall next = Next<PollCall>("poll");
    return Intercept("poll") ? -1 : next(descriptors, count, timeout);
}

pid_t waitpid(pid_t pid, int* status, int options) {
    static const WaitCall next = Next<WaitCall>("waitpid");
    return Intercept("waitpid") ? -1 : next(pid, status, options);
}

}  // extern "C"
