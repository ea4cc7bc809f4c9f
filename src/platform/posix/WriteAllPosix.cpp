#include "platform/posix/WriteAllPosix.h"

#include <errno.h>
#include <poll.h>
#include <unistd.h>

#include "platform/posix/RetryPosix.h"

namespace {

// How long one wait for a full descriptor lasts before stillWanted is asked again.
const int kWaitSliceMilliseconds = 100;

// False, with errno set, when the descriptor fails or the writer no longer wants to wait.
bool WaitUntilWritable(int fd, const std::function<bool()>& stillWanted) {
    pollfd watched{fd, POLLOUT, 0};
    for (;;) {
        if (stillWanted && !stillWanted()) {
            errno = ECANCELED;
            return false;
        }
        const int ready = poll(&watched, 1, stillWanted ? kWaitSliceMilliseconds : -1);
        if (ready > 0) return true;
        if (ready < 0 && errno != EINTR) return false;
    }
}

}  // namespace

bool WriteAll(int fd, const std::string& bytes, const std::function<bool()>& stillWanted) {
    std::string::size_type written = 0;
    while (written < bytes.size()) {
        const ssize_t count = RetryInterrupted(
            [&] { return write(fd, bytes.data() + written, bytes.size() - written); });
        if (count > 0) {
            written += static_cast<std::string::size_type>(count);
        } else if (count == 0 || (errno != EAGAIN && errno != EWOULDBLOCK) ||
                   !WaitUntilWritable(fd, stillWanted)) {
            return false;
        }
    }
    return true;
}
