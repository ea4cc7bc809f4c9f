#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/AppendFile.h"
#include "platform/posix/RetryPosix.h"

struct CAppendFile::Handle {
    int fd = -1;
};

namespace {

// Opened without blocking, so that a FIFO in the file's place cannot hold up the run; only a
// regular file is taken (on one, the flag changes nothing). -1, with the reason, otherwise.
int OpenRegularFileToAppend(const std::string& path, std::string* reason) {
    const int fd = RetryInterrupted([&] {
        return open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_NONBLOCK | O_CLOEXEC, 0644);
    });
    struct stat status {};
    if (fd < 0 || RetryInterrupted([&] { return fstat(fd, &status); }) != 0) {
        *reason = strerror(errno);
    } else if (!S_ISREG(status.st_mode)) {
        *reason = "Not a regular file";
    } else {
        return fd;
    }
    if (fd >= 0) close(fd);
    return -1;
}

// A write that took only part of an entry (a full disk writes what fits, then fails) is cut
// back to where the entry began, so the file never ends inside one; but only while nothing
// follows it, which another process may have appended since.
void CutBackPartialEntry(int fd, std::size_t written) {
    const off_t end = RetryInterrupted([&] { return lseek(fd, 0, SEEK_CUR); });
    struct stat status {};
    if (end < 0 || RetryInterrupted([&] { return fstat(fd, &status); }) != 0) return;
    if (status.st_size == end)
        RetryInterrupted([&] { return ftruncate(fd, end - static_cast<off_t>(written)); });
}

}  // namespace

CAppendFile::CAppendFile() : m_handle(std::make_unique<Handle>()) {}

CAppendFile::~CAppendFile() {
    Close();
}

bool CAppendFile::Open(const std::string& path, std::string* error) {
    Close();
    std::string reason;
    m_handle->fd = OpenRegularFileToAppend(path, &reason);
    if (m_handle->fd >= 0) return true;
    if (error) *error = path + ": " + reason;
    return false;
}

// O_APPEND puts the write at the end of the file as it is at that moment, even when other
// processes have written since. A regular file takes a whole write unless it cannot (a full
// disk, a size limit), so the rest of a short one is not tried: it could land after another
// process's entry.
bool CAppendFile::Write(const std::string& bytes) {
    if (!IsOpen()) return false;
    if (bytes.empty()) return true;
    const ssize_t count =
        RetryInterrupted([&] { return write(m_handle->fd, bytes.data(), bytes.size()); });
    if (count == static_cast<ssize_t>(bytes.size())) return true;
    if (count > 0) CutBackPartialEntry(m_handle->fd, static_cast<std::size_t>(count));
    return false;
}

void CAppendFile::Close() {
    if (!IsOpen()) return;
    close(m_handle->fd);
    m_handle->fd = -1;
}

bool CAppendFile::IsOpen() const {
    return m_handle->fd >= 0;
}
