#include "platform/OutputClaim.h"

#include <cstdio>

#include "platform/FileIdentity.h"

namespace {

// The 64-bit FNV-1a hash: the same in every run, unlike std::hash.
std::uint64_t PathHash(const std::string& path) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const unsigned char c : path) hash = (hash ^ c) * 1099511628211ull;
    return hash;
}

}  // namespace

std::string OutputClaimKey(const std::string& path) {
    char key[17];
    std::snprintf(key, sizeof key, "%016llx",
                  static_cast<unsigned long long>(PathHash(NormalizedPath(path))));
    return key;
}
