#include "processing/ReplaceExtension.h"

#include "platform/Paths.h"

std::string ReplaceExtension(std::string path, std::string extension) {
    std::string::size_type nameStart = path.size();
    while (nameStart > 0 && !IsPathSeparator(path[nameStart - 1])) --nameStart;
    const std::string::size_type dot = path.rfind('.');
    if (dot != std::string::npos && dot >= nameStart) path.erase(dot);
    return path + extension;
}
