#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/OutputClaim.h"
#include "platform/posix/RetryPosix.h"

namespace {

// Without blocking, so a FIFO under the output's name never holds the run up.
const int kOpenFlags = O_RDONLY | O_NONBLOCK | O_CLOEXEC;

SFileStamp StampOf(const struct stat& status) {
    SFileStamp stamp;
    if (!S_ISREG(status.st_mode)) return stamp;
    stamp.isRegularFile = true;
    stamp.size = static_cast<long long>(status.st_size);
    stamp.modified =
        static_cast<long long>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
    return stamp;
}

}  // namespace

COutputClaim::COutputClaim(const std::string& path) {
    int fd =
        RetryInterrupted([&] { return open(path.c_str(), kOpenFlags | O_CREAT | O_EXCL, 0666); });
    m_madeTheFile = fd >= 0;
    if (fd < 0 && errno == EEXIST)
        fd = RetryInterrupted([&] { return open(path.c_str(), kOpenFlags); });
    if (fd < 0) {
        m_error = std::strerror(errno);
        return;
    }
    m_file = fd;
    if (RetryInterrupted([&] { return flock(fd, LOCK_EX | LOCK_NB); }) != 0 &&
        errno == EWOULDBLOCK) {
        m_state = EState::HeldByAnotherRun;
        return;
    }
    struct stat status {};
    if (fstat(fd, &status) != 0) {
        m_error = std::strerror(errno);
        return;
    }
    m_state = EState::Claimed;
    m_before = StampOf(status);
}

COutputClaim::~COutputClaim() {
    if (m_file >= 0) close(static_cast<int>(m_file));
}
