#include "platform/HoldsBytes.h"

#include <cstdio>

// C streams, since a C++ stream's read error would throw.
bool HoldsBytes(const std::string& path, const std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    std::string held;
    char buffer[65536];
    std::size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0 && held.size() <= bytes.size())
        held.append(buffer, count);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    return !failed && held == bytes;
}
