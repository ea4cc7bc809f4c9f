#include <windows.h>

#include "platform/ProgramSearch.h"

// SearchPath looks where CreateProcess looks: the executable's folder, the current folder,
// the system's folders and PATH.
bool IsProgramFound(const std::string& name) {
    if (name.empty()) return false;
    char found[MAX_PATH];
    const DWORD length = SearchPathA(nullptr, name.c_str(), ".exe", MAX_PATH, found, nullptr);
    return length > 0 && length < MAX_PATH &&
           (GetFileAttributesA(found) & FILE_ATTRIBUTE_DIRECTORY) == 0;
}
