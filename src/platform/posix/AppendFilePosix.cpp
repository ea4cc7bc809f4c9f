#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <unistd.h>

#include "platform/AppendFile.h"
#include "platform/posix/RetryPosix.h"

struct CAppendFile::Handle {
    int fd = -1;
};

CAppendFile::CAppendFile() : m_handle(std::make_unique<Handle>()) {}

CAppendFile::~CAppendFile() {
    Close();
}

bool CAppendFile::Open(const std::string& path, std::string* error) {
    Close();
    m_handle->fd = RetryInterrupted(
        [&] { return open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644); });
    if (m_handle->fd >= 0) return true;
    if (error) *error = path + ": " + strerror(errno);
    return false;
}

// O_APPEND puts every write at the end of the file as it is at that moment, even when other
// processes have written since.
bool CAppendFile::Write(const std::string& bytes) {
    if (!IsOpen()) return false;
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t count = RetryInterrupted(
            [&] { return write(m_handle->fd, bytes.data() + written, bytes.size() - written); });
        if (count <= 0) return false;
        written += static_cast<std::size_t>(count);
    }
    return true;
}

void CAppendFile::Close() {
    if (!IsOpen()) return;
    close(m_handle->fd);
    m_handle->fd = -1;
}

bool CAppendFile::IsOpen() const {
    return m_handle->fd >= 0;
}
