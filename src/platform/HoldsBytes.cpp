#include "platform/HoldsBytes.h"

#include <fstream>
#include <iterator>

bool HoldsBytes(const std::string& path, const std::string& bytes) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    const std::string held((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
    return !file.bad() && held == bytes;
}
