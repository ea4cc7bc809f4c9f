#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <string.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cctype>

#include "platform/ProfileFile.h"

namespace {

// How long a save waits for another instance's save before it gives up.
const long kLockWaitMilliseconds = 10000;
const long kLockRetryMilliseconds = 50;
// The temporary file of a save is the profile's name, this marker and six random letters or
// digits; the marker keeps a user's own "pelkar.ini.backup" from ever looking like one.
const char kTempMarker[] = ".saving-";
const std::string::size_type kTempRandomLength = 6;

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
// an update never replaces a profile it could not see. errno then tells why.
bool ReadWholeText(const std::string& path, std::string* text) {
    text->clear();
    FileDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.Get() < 0) return errno == ENOENT;
    // Reserved at once, so a large file is not copied again each time the text grows.
    struct stat status {};
    if (fstat(file.Get(), &status) == 0 && S_ISREG(status.st_mode))
        text->reserve(static_cast<std::size_t>(status.st_size));
    char buffer[65536];
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
    std::string tempPath = path + kTempMarker + "XXXXXX";
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

void Sleep(long milliseconds) {
    timespec pause{0, milliseconds * 1000000};
    nanosleep(&pause, nullptr);
}

// Polls rather than blocks, so that a saver stuck while holding the lock cannot hold up every
// other instance for good.
EProfileSave LockWithin(int fd, long milliseconds) {
    for (long waited = 0;; waited += kLockRetryMilliseconds) {
        if (flock(fd, LOCK_EX | LOCK_NB) == 0) return EProfileSave::Saved;
        if (errno != EWOULDBLOCK && errno != EINTR) return EProfileSave::Failed;
        if (waited >= milliseconds) return EProfileSave::Busy;
        Sleep(kLockRetryMilliseconds);
    }
}

// Where a save goes: through any symbolic links to the file they name, so that a link made by
// a dotfile manager is kept rather than replaced by a file.
std::string SaveTarget(const std::string& path) {
    std::string target = path;
    for (int depth = 0; depth < 40; ++depth) {
        char link[PATH_MAX];
        const ssize_t length = readlink(target.c_str(), link, sizeof link - 1);
        if (length <= 0) break;
        const std::string named(link, static_cast<std::size_t>(length));
        target = named.front() == '/' ? named : DirectoryOf(target) + "/" + named;
    }
    return target;
}

bool IsTempName(const std::string& name, const std::string& profileName) {
    const std::string prefix = profileName + kTempMarker;
    if (name.size() != prefix.size() + kTempRandomLength) return false;
    if (name.compare(0, prefix.size(), prefix) != 0) return false;
    for (std::string::size_type i = prefix.size(); i < name.size(); ++i) {
        if (!std::isalnum(static_cast<unsigned char>(name[i]))) return false;
    }
    return true;
}

// A save that was killed between writing its temporary file and the rename leaves the file
// behind. Every save makes its own under the lock, so under the lock none of them is in use.
void RemoveStaleTempFiles(const std::string& path) {
    const std::string directory = DirectoryOf(path);
    const std::string profileName = path.substr(path.rfind('/') + 1);
    DIR* listing = opendir(directory.c_str());
    if (!listing) return;
    while (const dirent* entry = readdir(listing)) {
        if (IsTempName(entry->d_name, profileName)) unlink((directory + "/" + entry->d_name).c_str());
    }
    closedir(listing);
}

}  // namespace

bool ReadProfileText(const std::string& path, std::string* text, std::string* error) {
    if (ReadWholeText(path, text)) return true;
    *error = strerror(errno);
    text->clear();
    return false;
}

// The lock file is never removed: a saver that removed it could let the next two savers lock
// two different files.
EProfileSave UpdateProfileText(const std::string& path,
                               const std::function<std::string(std::string current)>& update) {
    const std::string target = SaveTarget(path);
    if (!MakeDirectories(DirectoryOf(target))) return EProfileSave::Failed;
    const std::string lockPath = target + ".lock";
    FileDescriptor lock(open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (lock.Get() < 0) return EProfileSave::Failed;
    const EProfileSave locked = LockWithin(lock.Get(), kLockWaitMilliseconds);
    if (locked != EProfileSave::Saved) return locked;
    RemoveStaleTempFiles(target);
    std::string current;
    if (!ReadWholeText(target, &current)) return EProfileSave::Failed;
    return ReplaceFile(target, update(std::move(current))) ? EProfileSave::Saved
                                                           : EProfileSave::Failed;
}
