#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "Launch.h"

namespace {

// The running transcoder, for the signal handlers; 0 while there is none.
volatile sig_atomic_t g_transcoder = 0;
// The first request to stop that was passed on, or 0.
volatile sig_atomic_t g_stopSignal = 0;

const int kForwardedSignals[] = {SIGTERM, SIGINT};
// A transcoder asked to stop gets this long before it is ended by force, so that it never
// outlives a front end whose own starter has gone.
const unsigned kStopGraceSeconds = 2;

// The interrupted code may be about to read errno, which kill may change. A stop that comes
// while no transcoder runs is kept for the next run.
void ForwardSignal(int number) {
    const int interruptedErrno = errno;
    const bool first = g_stopSignal == 0;
    if (first) g_stopSignal = number;
    if (g_transcoder > 0) {
        kill(static_cast<pid_t>(g_transcoder), number);
        if (first) alarm(kStopGraceSeconds);
    }
    errno = interruptedErrno;
}

void ForceTranscoderEnd(int) {
    const int interruptedErrno = errno;
    if (g_transcoder > 0) kill(static_cast<pid_t>(g_transcoder), SIGKILL);
    errno = interruptedErrno;
}

// In a forked child, before exec: it ends when the front end does, however that ends. A front
// end that had already gone is seen in the child's new parent.
void FollowParent(pid_t parent) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(127);
}

std::vector<char*> ArgumentVector(std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    return argv;
}

void WaitForEnd(pid_t child, int* status) {
    while (waitpid(child, status, 0) < 0) {
        if (errno != EINTR) {
            *status = W_EXITCODE(127, 0);
            return;
        }
    }
}

int ExitStatus(int status) {
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 127;
}

// The signals stay blocked from before the fork until the child's pid is known, so none
// arrives while there is no one to forward it to; the child gets the default handling back
// before it runs the program.
class SignalForwarding {
public:
    SignalForwarding() {
        sigset_t forwarded;
        sigemptyset(&forwarded);
        for (int number : kForwardedSignals) sigaddset(&forwarded, number);
        sigprocmask(SIG_BLOCK, &forwarded, &m_previousMask);
        struct sigaction forward {};
        forward.sa_handler = ForwardSignal;
        forward.sa_flags = SA_RESTART;
        sigemptyset(&forward.sa_mask);
        for (int number : kForwardedSignals) sigaction(number, &forward, nullptr);
        struct sigaction force = forward;
        force.sa_handler = ForceTranscoderEnd;
        sigaction(SIGALRM, &force, nullptr);
    }

    void ForwardTo(pid_t child) {
        g_transcoder = child;
        sigprocmask(SIG_SETMASK, &m_previousMask, nullptr);
    }

    void RestoreInChild() {
        for (int number : kForwardedSignals) signal(number, SIG_DFL);
        signal(SIGALRM, SIG_DFL);
        sigprocmask(SIG_SETMASK, &m_previousMask, nullptr);
    }

private:
    sigset_t m_previousMask;
};

}  // namespace

const char* DefaultTranscoder() {
    return "ffmpeg";
}

long ParentProcessId() {
    return static_cast<long>(getppid());
}

void StopWithStarter() {
    int signal = 0;
    if (prctl(PR_GET_PDEATHSIG, &signal) == 0 && signal != 0) prctl(PR_SET_PDEATHSIG, SIGTERM);
}

std::string TemporaryDirectory() {
    const char* temp = std::getenv("TMPDIR");
    std::string directory = temp && *temp ? temp : "/tmp";
    while (directory.size() > 1 && directory.back() == '/') directory.pop_back();
    return directory;
}

std::string CaptureStandardOutput(const std::vector<std::string>& arguments) {
    int output[2];
    if (pipe2(output, O_CLOEXEC) != 0) return std::string();
    std::vector<std::string> copy = arguments;
    std::vector<char*> argv = ArgumentVector(copy);
    const pid_t self = getpid();
    const pid_t child = fork();
    if (child == 0) {
        FollowParent(self);
        const int nothing = open("/dev/null", O_RDWR);
        dup2(nothing, STDIN_FILENO);
        dup2(output[1], STDOUT_FILENO);
        dup2(nothing, STDERR_FILENO);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(output[1]);
    std::string listing;
    char buffer[4096];
    ssize_t count;
    while ((count = read(output[0], buffer, sizeof buffer)) > 0 || (count < 0 && errno == EINTR)) {
        if (count > 0) listing.append(buffer, static_cast<size_t>(count));
    }
    close(output[0]);
    int status = 0;
    if (child > 0) WaitForEnd(child, &status);
    return listing;
}

namespace {

void SilenceStandardStreams() {
    const int nothing = open("/dev/null", O_RDWR);
    dup2(nothing, STDIN_FILENO);
    dup2(nothing, STDOUT_FILENO);
    dup2(nothing, STDERR_FILENO);
}

int RunChild(const std::vector<std::string>& arguments, bool quiet) {
    std::vector<std::string> copy = arguments;
    std::vector<char*> argv = ArgumentVector(copy);
    SignalForwarding forwarding;
    const pid_t self = getpid();
    const pid_t child = g_stopSignal != 0 ? -1 : fork();
    if (child == 0) {
        FollowParent(self);
        forwarding.RestoreInChild();
        if (quiet) SilenceStandardStreams();
        execvp(argv[0], argv.data());
        if (!quiet)
            std::fprintf(stderr, "pelkar-ffmpeg: cannot run %s: %s\n", argv[0],
                         std::strerror(errno));
        _exit(127);
    }
    forwarding.ForwardTo(child > 0 ? child : 0);
    if (g_stopSignal != 0 && child < 0) return 128 + g_stopSignal;
    if (child < 0) {
        if (!quiet)
            std::fprintf(stderr, "pelkar-ffmpeg: cannot start %s: %s\n", argv[0],
                         std::strerror(errno));
        return 127;
    }
    int status = 0;
    WaitForEnd(child, &status);
    g_transcoder = 0;
    alarm(0);
    // A transcoder that was asked to stop may end with a status of its own (ffmpeg's is 255).
    return g_stopSignal != 0 ? 128 + g_stopSignal : ExitStatus(status);
}

}  // namespace

int RunTranscoder(const std::vector<std::string>& arguments) {
    return RunChild(arguments, false);
}

int RunQuietly(const std::vector<std::string>& arguments) {
    return RunChild(arguments, true);
}

int StopSignal() {
    return g_stopSignal;
}
