#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <pwd.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "model/ProcessArguments.h"
#include "platform/Console.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/Process.h"
#include "platform/posix/WriteAllPosix.h"

namespace {

std::string EnvironmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string WithTrailingSlash(const std::string& directory) {
    if (directory.empty() || directory.back() == '/') return directory;
    return directory + "/";
}

bool IsAbsolute(const std::string& path) {
    return !path.empty() && path.front() == '/';
}

// A relative folder would be taken from wherever the host happens to run us, so only an
// absolute one counts; empty when there is none.
std::string HomeDirectory() {
    const std::string home = EnvironmentValue("HOME");
    if (IsAbsolute(home)) return home;
    const passwd* entry = getpwuid(getuid());
    return entry && entry->pw_dir && IsAbsolute(entry->pw_dir) ? entry->pw_dir : "";
}

// Only an absolute XDG_CONFIG_HOME counts; the base directory rules say to ignore others.
std::string ConfigDirectory() {
    const std::string configHome = EnvironmentValue("XDG_CONFIG_HOME");
    if (IsAbsolute(configHome)) return WithTrailingSlash(configHome);
    const std::string home = HomeDirectory();
    return home.empty() ? "" : WithTrailingSlash(home) + ".config/";
}

long long MonotonicMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// Taken while the program is being loaded, so the clock counts from the process's start.
const long long g_startMilliseconds = MonotonicMilliseconds();

// A standard stream the host closed leaves its number free, and the next file opened would get
// it: a report or message meant for the stream would then go into that file. The number is
// taken by /dev/null opened for reading, so that writes to a closed stream still fail.
void HoldClosedStandardStream(int fd) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) return;
    const int placeholder = open("/dev/null", O_RDONLY);
    if (placeholder < 0 || placeholder == fd) return;
    dup2(placeholder, fd);
    close(placeholder);
}

EConsoleWrite WriteToStandardOutput(const std::string& text, std::string* error) {
    if (WriteAll(STDOUT_FILENO, text)) return EConsoleWrite::Written;
    if (error) *error = std::strerror(errno);
    return EConsoleWrite::Failed;
}

}  // namespace

int CurrentProcessId() {
    return static_cast<int>(getpid());
}

std::string GetSystemTempDirectory() {
    const std::string directory = EnvironmentValue("TMPDIR");
    return directory.empty() ? "/tmp/" : WithTrailingSlash(directory);
}

std::string GetExecutablePath() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
    if (length <= 0 || length == static_cast<ssize_t>(sizeof path)) return std::string();
    return std::string(path, static_cast<std::size_t>(length));
}

const char* PathSeparator() {
    return "/";
}

std::string GetProfilePath() {
    const std::string directory = ConfigDirectory();
    return directory.empty() ? "" : directory + GetApplicationTitle() + ".ini";
}

// The name carries an extension of its own, as on Windows, so replacing the extension of the
// name never cuts into a directory whose name has a dot.
bool MakeTempFileName(const std::string& directory, const std::string& prefix, std::string* name,
                      SSystemError* error) {
    const std::string suffix = ".tmp";
    std::string pattern = WithTrailingSlash(directory) + prefix + "XXXXXX" + suffix;
    const int fd = mkostemps(pattern.data(), static_cast<int>(suffix.size()), O_CLOEXEC);
    if (fd < 0) {
        *error = SystemError(errno);
        return false;
    }
    close(fd);
    *name = pattern;
    return true;
}

bool IsPathSeparator(char c) {
    return c == '/';
}

bool IsUnsafeInFileName(char c) {
    return c == '/';
}

bool IsDroppedAtNameEnd(char) {
    return false;
}

bool IsExistingFile(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && !S_ISDIR(status.st_mode);
}

// Linux gives device names only to the files in /dev.
bool IsDeviceName(const std::string&) {
    return false;
}

SFileStamp GetFileStamp(const std::string& path) {
    struct stat status {};
    SFileStamp stamp;
    if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return stamp;
    stamp.isRegularFile = true;
    stamp.size = static_cast<long long>(status.st_size);
    stamp.modified =
        static_cast<long long>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
    return stamp;
}

bool IsExistingFolder(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool MakeFolder(const std::string& path, std::string* error) {
    if (mkdir(path.c_str(), 0777) == 0) return true;
    *error = std::strerror(errno);
    return false;
}

// An ignored SIGCHLD survives exec, and a host may start us with it: the system would then
// reap every tool itself, and no wait could see how a tool ended. A host may also start us with
// the stop signals blocked, and nothing could then stop a run. A file-size limit would end the
// process at the write that meets it; ignored, the write fails as on a full disk.
void PrepareProcess() {
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) HoldClosedStandardStream(fd);
    signal(SIGPIPE, SIG_IGN);
    signal(SIGXFSZ, SIG_IGN);
    signal(SIGCHLD, SIG_DFL);
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    for (const int number : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&stopSignals, number);
    sigprocmask(SIG_UNBLOCK, &stopSignals, nullptr);
}

bool RemoveFile(const std::string& path, std::string* error) {
    if (unlink(path.c_str()) == 0 || errno == ENOENT) return true;
    if (error) *error = std::strerror(errno);
    return false;
}

void SleepMilliseconds(unsigned milliseconds) {
    timespec remaining{static_cast<time_t>(milliseconds / 1000),
                       static_cast<long>(milliseconds % 1000) * 1000000};
    while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
    }
}

long long ClockMilliseconds() {
    return MonotonicMilliseconds() - g_startMilliseconds;
}

std::tm LocalTimeNow() {
    const time_t now = time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

bool IsDisplayAvailable() {
    return !EnvironmentValue("DISPLAY").empty() || !EnvironmentValue("WAYLAND_DISPLAY").empty();
}

void WriteConsoleMessage(const std::string& caption, const std::string& text) {
    WriteAll(STDERR_FILENO, caption + ": " + text + "\n");
}

EConsoleWrite WriteToConsole(const std::string& text, std::string* error) {
    return WriteToStandardOutput(text, error);
}

EConsoleWrite WriteToStartingConsole(const std::string& text, std::string* error) {
    return WriteToStandardOutput(text, error);
}
