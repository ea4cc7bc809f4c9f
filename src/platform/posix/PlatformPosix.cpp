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
#include "platform/Platform.h"

namespace {

std::string EnvironmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string WithTrailingSlash(const std::string& directory) {
    if (directory.empty() || directory.back() == '/') return directory;
    return directory + "/";
}

std::string HomeDirectory() {
    std::string home = EnvironmentValue("HOME");
    if (!home.empty()) return home;
    const passwd* entry = getpwuid(getuid());
    return entry && entry->pw_dir ? entry->pw_dir : "";
}

// Only an absolute XDG_CONFIG_HOME counts; the base directory rules say to ignore others.
std::string ConfigDirectory() {
    const std::string configHome = EnvironmentValue("XDG_CONFIG_HOME");
    if (!configHome.empty() && configHome.front() == '/') return WithTrailingSlash(configHome);
    return WithTrailingSlash(HomeDirectory()) + ".config/";
}

long long MonotonicMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// Taken while the program is being loaded, so the clock counts from the process's start.
const long long g_startMilliseconds = MonotonicMilliseconds();

bool WriteAll(int fd, const std::string& bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        ssize_t count = write(fd, bytes.data() + written, bytes.size() - written);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) return false;
        written += static_cast<std::size_t>(count);
    }
    return true;
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
    return ConfigDirectory() + GetApplicationTitle() + ".ini";
}

// The name carries an extension of its own, as on Windows, so replacing the extension of the
// name never cuts into a directory whose name has a dot.
bool MakeTempFileName(const std::string& directory, const std::string& prefix, std::string* name) {
    const std::string suffix = ".tmp";
    std::string pattern = WithTrailingSlash(directory) + prefix + "XXXXXX" + suffix;
    const int fd = mkostemps(pattern.data(), static_cast<int>(suffix.size()), O_CLOEXEC);
    if (fd < 0) return false;
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
// reap every tool itself, and no wait could see how a tool ended.
void PrepareProcess() {
    signal(SIGPIPE, SIG_IGN);
    signal(SIGCHLD, SIG_DFL);
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

bool WriteToConsole(const std::string& text) {
    WriteAll(STDOUT_FILENO, text);
    return true;
}

bool WriteToStartingConsole(const std::string& text) {
    return WriteToConsole(text);
}
