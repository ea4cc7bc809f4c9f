#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/ProfileFile.h"

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() {
        if (m_fd >= 0) close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int Get() const { return m_fd; }

private:
    int m_fd;
};

// A missing file reads as empty; false only when the file exists but cannot be read, so that
// an update never replaces a profile it could not see.
bool ReadWholeText(const std::string& path, std::string* text) {
    text->clear();
    FileDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.Get() < 0) return errno == ENOENT;
    char buffer[16384];
    for (;;) {
        const ssize_t count = read(file.Get(), buffer, sizeof buffer);
        if (count == 0) return true;
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) return false;
        text->append(buffer, static_cast<std::size_t>(count));
    }
}

bool WriteAll(int fd, const std::string& bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t count = write(fd, bytes.data() + written, bytes.size() - written);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) return false;
        written += static_cast<std::size_t>(count);
    }
    return true;
}

std::string DirectoryOf(const std::string& path) {
    const std::string::size_type slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Like "mkdir -p"; new folders are private to the user, as configuration folders should be.
// A folder on the way that cannot be made shows in the final test.
bool MakeDirectories(const std::string& directory) {
    std::string::size_type slash = 0;
    do {
        slash = directory.find('/', slash + 1);
        mkdir(directory.substr(0, slash).c_str(), 0700);
    } while (slash != std::string::npos);
    struct stat status {};
    return stat(directory.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// The replacement keeps the permissions of the file it replaces.
void CopyPermissions(const std::string& path, int fd) {
    struct stat status {};
    if (stat(path.c_str(), &status) == 0) fchmod(fd, status.st_mode & 07777);
}

// So that the rename itself survives a crash.
void SyncDirectory(const std::string& directory) {
    FileDescriptor folder(open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Get() >= 0) fsync(folder.Get());
}

bool ReplaceFile(const std::string& path, const std::string& text) {
    std::string tempPath = path + ".XXXXXX";
    const int fd = mkostemp(tempPath.data(), O_CLOEXEC);
    if (fd < 0) return false;
    CopyPermissions(path, fd);
    bool written = WriteAll(fd, text) && fsync(fd) == 0;
    written = close(fd) == 0 && written;
    if (!written || rename(tempPath.c_str(), path.c_str()) != 0) {
        unlink(tempPath.c_str());
        return false;
    }
    SyncDirectory(DirectoryOf(path));
    return true;
}

bool LockExclusively(int fd) {
    while (flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR) return false;
    }
    return true;
}

}  // namespace

std::string ReadProfileText(const std::string& path) {
    std::string text;
    if (!ReadWholeText(path, &text)) text.clear();
    return text;
}

// The lock file is never removed: a saver that removed it could let the next two savers lock
// two different files.
bool UpdateProfileText(const std::string& path,
                       const std::function<std::string(const std::string& current)>& update) {
    if (!MakeDirectories(DirectoryOf(path))) return false;
    const std::string lockPath = path + ".lock";
    FileDescriptor lock(open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (lock.Get() < 0 || !LockExclusively(lock.Get())) return false;
    std::string current;
    if (!ReadWholeText(path, &current)) return false;
    return ReplaceFile(path, update(current));
}
