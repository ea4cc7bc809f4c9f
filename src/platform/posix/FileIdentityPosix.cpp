#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/FileIdentity.h"

namespace {

std::string CurrentFolder() {
    std::vector<char> buffer(4096);
    while (getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (buffer.size() > (1u << 20)) return "/";
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

}  // namespace

bool IsSameFile(const std::string& first, const std::string& second) {
    struct stat a {};
    struct stat b {};
    if (stat(first.c_str(), &a) == 0 && stat(second.c_str(), &b) == 0)
        return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
    return NormalizedPath(first) == NormalizedPath(second);
}

std::string ExaminationError(const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) == 0 || errno == ENOENT || errno == ENOTDIR) return "";
    return std::strerror(errno);
}

bool IsAbsolutePath(const std::string& path) {
    return !path.empty() && path[0] == '/';
}

std::string NormalizedPath(const std::string& path) {
    const std::string absolute =
        !path.empty() && path[0] == '/' ? path : CurrentFolder() + "/" + path;
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    while (start <= absolute.size()) {
        std::string::size_type end = absolute.find('/', start);
        if (end == std::string::npos) end = absolute.size();
        const std::string part = absolute.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string normalized;
    for (const std::string& part : parts) normalized += "/" + part;
    return normalized.empty() ? "/" : normalized;
}
