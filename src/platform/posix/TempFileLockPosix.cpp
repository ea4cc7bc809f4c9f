#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cctype>
#include <cstring>

#include "platform/TempFileLock.h"
#include "platform/TempNameSweep.h"

namespace {

// MakeTempFileName's shape: the prefix, six letters or digits, ".tmp".
const std::size_t kUniqueLength = 6;
const std::string kTempExtension = ".tmp";
// A run makes its name and locks it a moment later; a lone name this young may be in that moment.
const time_t kYoungSeconds = 60;

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

bool IsTempName(const std::string& name, const std::string& prefix) {
    if (name.size() != prefix.size() + kUniqueLength + kTempExtension.size() ||
        name.compare(0, prefix.size(), prefix) != 0 || !EndsWith(name, kTempExtension)) {
        return false;
    }
    for (std::size_t i = prefix.size(); i < prefix.size() + kUniqueLength; ++i) {
        if (!std::isalnum(static_cast<unsigned char>(name[i]))) return false;
    }
    return true;
}

std::string JoinedPath(const std::string& directory, const std::string& name) {
    if (!directory.empty() && directory.back() == '/') return directory + name;
    return directory + "/" + name;
}

// The lock is the run's; the file must still be the one under the name, or the name may
// already belong to a newer run.
bool IsLockedFileAtPath(int fd, const std::string& path) {
    struct stat opened {};
    struct stat named {};
    return fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && opened.st_nlink > 0 &&
           lstat(path.c_str(), &named) == 0 && named.st_dev == opened.st_dev &&
           named.st_ino == opened.st_ino;
}

int OpenLocked(const std::string& path) {
    const int fd = open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) return -1;
    if (flock(fd, LOCK_EX | LOCK_NB) == 0 && IsLockedFileAtPath(fd, path)) return fd;
    close(fd);
    return -1;
}

}  // namespace

std::vector<std::string> TempNamePathsIn(const std::string& directory, const std::string& prefix) {
    std::vector<std::string> paths;
    DIR* folder = opendir(directory.c_str());
    if (!folder) return paths;
    while (const dirent* entry = readdir(folder)) {
        if (IsTempName(entry->d_name, prefix))
            paths.push_back(JoinedPath(directory, entry->d_name));
    }
    closedir(folder);
    return paths;
}

bool HasFilesNamedLike(const std::string& stem, const std::vector<std::string>& extensions) {
    struct stat status {};
    for (const std::string& extension : extensions) {
        if (lstat((stem + extension).c_str(), &status) == 0) return true;
    }
    return false;
}

void RemoveLeftFile(const std::string& path, std::vector<SLeftFile>* found) {
    struct stat status {};
    if (lstat(path.c_str(), &status) != 0 || S_ISDIR(status.st_mode)) return;
    const bool removed = unlink(path.c_str()) == 0;
    found->push_back({path, removed ? std::string() : std::strerror(errno)});
}

CUnheldTempName::CUnheldTempName(const std::string& path)
    : m_path(path), m_file(OpenLocked(path)) {}

CUnheldTempName::~CUnheldTempName() {
    if (IsOpen()) close(static_cast<int>(m_file));
}

bool CUnheldTempName::IsOpen() const {
    return m_file >= 0;
}

bool CUnheldTempName::IsYoung() const {
    struct stat status {};
    return fstat(static_cast<int>(m_file), &status) == 0 &&
           time(nullptr) - status.st_mtime < kYoungSeconds;
}

void CUnheldTempName::Remove(std::vector<SLeftFile>* found) {
    RemoveLeftFile(m_path, found);
}

CTempFileLock::~CTempFileLock() {
    Unlock();
}

bool CTempFileLock::Lock(const std::string& path) {
    Unlock();
    m_file = OpenLocked(path);
    return m_file >= 0;
}

void CTempFileLock::Unlock() {
    if (m_file >= 0) close(static_cast<int>(m_file));
    m_file = -1;
}
