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

#include "platform/ProfileEncoding.h"
#include "platform/HoldsBytes.h"
#include "platform/ProfileFile.h"
#include "platform/posix/RetryPosix.h"
#include "platform/posix/WriteAllPosix.h"

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

int OpenRetrying(const char* path, int flags, mode_t mode = 0) {
    return RetryInterrupted([&] { return open(path, flags, mode); });
}

// Far above what the most actions a profile holds take; a larger file is not a profile.
const off_t kMostProfileBytes = 16 * 1024 * 1024;

// Failed, with the reason, only when the file exists but cannot be read, so that an update
// never replaces a profile it could not see. Opened without blocking, so that a FIFO or a
// device in its place cannot hold up the run, and taken only when it is a regular file.
EProfileRead ReadWholeBytes(const std::string& path, std::string* bytes, std::string* reason) {
    bytes->clear();
    FileDescriptor file(OpenRetrying(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat status {};
    // A profile read as missing is replaced by the defaults, so one look that finds nothing
    // (a network share that failed) is not enough: a second one must agree.
    if (file.Get() < 0 && errno == ENOENT) {
        if (RetryInterrupted([&] { return stat(path.c_str(), &status); }) != 0 && errno == ENOENT)
            return EProfileRead::Missing;
        *reason = strerror(ENOENT);
        return EProfileRead::Failed;
    }
    if (file.Get() < 0 || RetryInterrupted([&] { return fstat(file.Get(), &status); }) != 0) {
        *reason = strerror(errno);
        return EProfileRead::Failed;
    }
    if (!S_ISREG(status.st_mode)) {
        *reason = S_ISDIR(status.st_mode) ? strerror(EISDIR) : "Not a regular file";
        return EProfileRead::Failed;
    }
    // Reserved at once, so a large file is not copied again each time the text grows. The
    // size is checked again as the file is read, since it may grow meanwhile.
    if (status.st_size > kMostProfileBytes) {
        *reason = strerror(EFBIG);
        return EProfileRead::Failed;
    }
    bytes->reserve(static_cast<std::size_t>(status.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t count =
            RetryInterrupted([&] { return read(file.Get(), buffer, sizeof buffer); });
        if (count == 0) return EProfileRead::Read;
        if (count < 0) {
            *reason = strerror(errno);
            return EProfileRead::Failed;
        }
        bytes->append(buffer, static_cast<std::size_t>(count));
        if (bytes->size() > static_cast<std::size_t>(kMostProfileBytes)) {
            bytes->clear();
            *reason = strerror(EFBIG);
            return EProfileRead::Failed;
        }
    }
}

// The file's text and the encoding it is written in.
EProfileRead ReadWholeText(const std::string& path, std::string* text, EProfileEncoding* encoding,
                           std::string* reason) {
    std::string bytes;
    const EProfileRead read = ReadWholeBytes(path, &bytes, reason);
    return DecodeProfile(read, bytes, encoding, text);
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
        const std::string folder = directory.substr(0, slash);
        RetryInterrupted([&] { return mkdir(folder.c_str(), 0700); });
    } while (slash != std::string::npos);
    struct stat status {};
    return RetryInterrupted([&] { return stat(directory.c_str(), &status); }) == 0 &&
           S_ISDIR(status.st_mode);
}

// The replacement keeps the permissions of the file it replaces.
void CopyPermissions(const std::string& path, int fd) {
    struct stat status {};
    if (RetryInterrupted([&] { return stat(path.c_str(), &status); }) == 0)
        RetryInterrupted([&] { return fchmod(fd, status.st_mode & 07777); });
}

// So that the rename itself survives a crash.
void SyncDirectory(const std::string& directory) {
    FileDescriptor folder(OpenRetrying(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Get() >= 0) RetryInterrupted([&] { return fsync(folder.Get()); });
}

bool ReplaceFile(const std::string& path, const std::string& text) {
    std::string tempPath = path + kTempMarker + "XXXXXX";
    const std::string pattern = tempPath;
    const int fd = RetryInterrupted([&] {
        tempPath = pattern;
        return mkostemp(tempPath.data(), O_CLOEXEC);
    });
    if (fd < 0) return false;
    CopyPermissions(path, fd);
    bool written = WriteAll(fd, text) && RetryInterrupted([&] { return fsync(fd); }) == 0;
    written = close(fd) == 0 && written;
    if (!written || RetryInterrupted([&] { return rename(tempPath.c_str(), path.c_str()); }) != 0) {
        RetryInterrupted([&] { return unlink(tempPath.c_str()); });
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
        const ssize_t length =
            RetryInterrupted([&] { return readlink(target.c_str(), link, sizeof link - 1); });
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
        if (IsTempName(entry->d_name, profileName))
            unlink((directory + "/" + entry->d_name).c_str());
    }
    closedir(listing);
}

// A profile its user made read-only stays as it is. The save replaces the file by a rename,
// which the folder allows whatever the file's own permissions say.
bool IsReadOnly(const std::string& path) {
    return RetryInterrupted([&] { return access(path.c_str(), W_OK); }) != 0 && errno != ENOENT;
}

// Only a regular file is ever replaced, and nothing is made beside a device, a FIFO or a folder
// that stands where the profile should be.
bool IsOtherThanRegularFile(const std::string& path) {
    struct stat status {};
    return RetryInterrupted([&] { return stat(path.c_str(), &status); }) == 0 &&
           !S_ISREG(status.st_mode);
}

EProfileSave Unsaved(std::string* error, const std::string& reason) {
    *error = reason;
    return EProfileSave::Failed;
}

EProfileSave UpdateTarget(const std::string& target,
                          const std::function<std::string(std::string current)>& update,
                          EMissingProfile ifMissing, std::string* error) {
    if (IsOtherThanRegularFile(target)) return Unsaved(error, "it is not a regular file");
    if (IsReadOnly(target)) return Unsaved(error, "it is read-only");
    if (!MakeDirectories(DirectoryOf(target))) return Unsaved(error, strerror(errno));
    const std::string lockPath = target + ".lock";
    FileDescriptor lock(OpenRetrying(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (lock.Get() < 0) return Unsaved(error, strerror(errno));
    const EProfileSave locked = LockWithin(lock.Get(), kLockWaitMilliseconds);
    if (locked == EProfileSave::Busy) *error = "another PELKAR holds its lock";
    if (locked == EProfileSave::Failed) *error = strerror(errno);
    if (locked != EProfileSave::Saved) return locked;
    RemoveStaleTempFiles(target);
    std::string current, bytes, unreadable;
    EProfileEncoding encoding;
    const EProfileRead read = ReadWholeText(target, &current, &encoding, &unreadable);
    if (!IsUpdatable(read, ifMissing)) return Unsaved(error, UnsavableReason(read, unreadable));
    if (!ProfileBytesOf(update(std::move(current)), encoding, &bytes))
        return Unsaved(error, "its text cannot be written in the file's encoding");
    if (read == EProfileRead::Read && HoldsBytes(target, bytes)) return EProfileSave::Saved;
    if (!ReplaceFile(target, bytes)) return Unsaved(error, strerror(errno));
    return EProfileSave::Saved;
}

}  // namespace

EProfileRead ReadProfileText(const std::string& path, std::string* text, std::string* error) {
    EProfileEncoding encoding;
    return ReadWholeText(path, text, &encoding, error);
}

// The lock file is never removed: a saver that removed it could let the next two savers lock
// two different files.
EProfileSave UpdateProfileText(const std::string& path,
                               const std::function<std::string(std::string current)>& update,
                               EMissingProfile ifMissing, std::string* error) {
    std::string reason;
    const EProfileSave saved = UpdateTarget(SaveTarget(path), update, ifMissing, &reason);
    if (error) *error = reason;
    return saved;
}
