#include <limits.h>
#include <unistd.h>

#include "platform/FolderQuery.h"

// Each file system has its own limit, so the folder's own is asked for; NAME_MAX where the
// system does not say.
std::size_t MaxFileNameLength(const std::string& folder) {
    const long limit = pathconf(folder.c_str(), _PC_NAME_MAX);
    return limit > 0 ? static_cast<std::size_t>(limit) : NAME_MAX;
}

std::size_t FileNameLength(const std::string& name) {
    return name.size();
}
