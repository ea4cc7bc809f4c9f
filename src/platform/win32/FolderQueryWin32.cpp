#include <windows.h>

#include "platform/FolderQuery.h"

namespace {

// NTFS, FAT32 with long names and exFAT all take names of up to 255 characters.
const std::size_t kMaxNameCharacters = 255;

}  // namespace

std::size_t MaxFileNameLength(const std::string&) {
    return kMaxNameCharacters;
}

// The program's texts are in the ANSI code page, where a character may take two bytes.
std::size_t FileNameLength(const std::string& name) {
    if (name.empty()) return 0;
    const int characters = MultiByteToWideChar(CP_ACP, 0, name.data(),
                                               static_cast<int>(name.size()), nullptr, 0);
    return characters > 0 ? static_cast<std::size_t>(characters) : name.size();
}
