#include "platform/posix/ProgramSearchPosix.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/Process.h"
#include "platform/ProgramSearch.h"

namespace {

// Where a program is looked for when PATH is not set.
const char* const kDefaultSearchPath = "/bin:/usr/bin";

// 0 for a regular file that may be run, EACCES for one that may not, ENOENT otherwise.
int ProgramFileStatus(const std::string& candidate) {
    struct stat status;
    if (stat(candidate.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return ENOENT;
    return access(candidate.c_str(), X_OK) == 0 ? 0 : EACCES;
}

// The search of CreateProcess, done before the fork: a name with a slash is taken as it is, any
// other is looked for beside the running executable and then in the directories of PATH (an
// empty entry is the current directory).
}  // namespace

int FindProgram(const std::string& name, std::string* path) {
    if (name.empty()) return ENOENT;
    if (name.find('/') != std::string::npos) {
        *path = name;
        return 0;
    }
    const std::string executable = GetExecutablePath();
    const std::string beside = executable.substr(0, executable.rfind('/') + 1) + name;
    if (!executable.empty() && ProgramFileStatus(beside) == 0) {
        *path = beside;
        return 0;
    }
    const char* searchPath = std::getenv("PATH");
    const std::string directories = searchPath ? searchPath : kDefaultSearchPath;
    int error = ENOENT;
    std::string::size_type start = 0;
    for (;;) {
        const std::string::size_type end = directories.find(':', start);
        const std::string directory = directories.substr(start, end - start);
        const std::string candidate = (directory.empty() ? "." : directory) + "/" + name;
        const int status = ProgramFileStatus(candidate);
        if (status == 0) {
            *path = candidate;
            return 0;
        }
        if (status == EACCES) error = EACCES;
        if (end == std::string::npos) return error;
        start = end + 1;
    }
}

bool IsProgramFound(const std::string& name) {
    std::string path;
    return FindProgram(name, &path) == 0;
}
