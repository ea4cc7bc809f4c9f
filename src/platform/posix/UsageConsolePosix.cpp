#include <errno.h>
#include <unistd.h>

#include "platform/Platform.h"

bool WriteUsageToConsole(const std::string& usage) {
    std::size_t written = 0;
    while (written < usage.size()) {
        const ssize_t count = write(STDOUT_FILENO, usage.data() + written, usage.size() - written);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) break;
        written += static_cast<std::size_t>(count);
    }
    return true;
}
