#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/FileIdentity.h"
#include "platform/OutputClaim.h"
#include "platform/posix/RetryPosix.h"

namespace {

// An address of the abstract namespace (a leading NUL): no file, and free again the moment
// its process ends.
int HoldName(const std::string& path, bool* heldElsewhere) {
    const int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string name = "pelkar-output-" + OutputClaimKey(path);
    std::memcpy(address.sun_path + 1, name.data(), name.size());
    const socklen_t size = static_cast<socklen_t>(sizeof(sa_family_t) + 1 + name.size());
    if (bind(fd, reinterpret_cast<const sockaddr*>(&address), size) == 0) return fd;
    *heldElsewhere = errno == EADDRINUSE;
    close(fd);
    return -1;
}

}  // namespace

COutputClaim::COutputClaim(const std::string& path) {
    bool heldElsewhere = false;
    m_name = HoldName(path, &heldElsewhere);
    if (heldElsewhere) {
        m_state = EState::HeldByAnotherRun;
        return;
    }
    struct stat status {};
    if (RetryInterrupted([&] { return stat(path.c_str(), &status); }) == 0) {
        m_state = EState::Claimed;
        if (!S_ISREG(status.st_mode)) return;
        m_before.isRegularFile = true;
        m_before.size = static_cast<long long>(status.st_size);
        m_before.modified =
            static_cast<long long>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
        return;
    }
    m_error = std::strerror(errno);
    if (errno != ENOENT) return;
    if (RetryInterrupted([&] { return lstat(path.c_str(), &status); }) == 0 || errno != ENOENT) {
        return;
    }
    m_state = EState::Claimed;
    m_wasAbsent = true;
}

COutputClaim::~COutputClaim() {
    if (m_name >= 0) close(static_cast<int>(m_name));
}
