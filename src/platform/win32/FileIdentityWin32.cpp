#include <windows.h>

#include <vector>

#include "platform/FileIdentity.h"
#include "platform/win32/LongPathWin32.h"
#include "platform/win32/SystemErrorWin32.h"

namespace {

struct SFileIndex {
    DWORD volume = 0;
    DWORD high = 0;
    DWORD low = 0;
};

// Opening for no access at all still tells the file's identity, also of a file in use.
bool ReadFileIndex(const std::string& path, SFileIndex* index) {
    const HANDLE file =
        CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION information{};
    const bool read = GetFileInformationByHandle(file, &information) != 0;
    CloseHandle(file);
    if (!read) return false;
    *index = SFileIndex{information.dwVolumeSerialNumber, information.nFileIndexHigh,
                        information.nFileIndexLow};
    return true;
}

}  // namespace

bool IsSameFile(const std::string& first, const std::string& second) {
    SFileIndex a;
    SFileIndex b;
    if (ReadFileIndex(first, &a) && ReadFileIndex(second, &b))
        return a.volume == b.volume && a.high == b.high && a.low == b.low;
    return NormalizedPath(first) == NormalizedPath(second);
}

std::string ExaminationError(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (GetFileAttributesExW(LongPathForm(path).c_str(), GetFileExInfoStandard, &data)) return "";
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
        error == ERROR_INVALID_NAME) {
        return "";
    }
    return SystemErrorText(error);
}

bool IsAbsolutePath(const std::string& path) {
    const auto separator = [](char c) { return c == '\\' || c == '/'; };
    if (path.size() >= 2 && separator(path[0]) && separator(path[1])) return true;
    return path.size() >= 3 && path[1] == ':' && separator(path[2]);
}

std::string NormalizedPath(const std::string& path) {
    std::string slashes = path;
    for (char& c : slashes) {
        if (c == '/') c = '\\';
    }
    std::vector<char> full(MAX_PATH);
    DWORD length =
        GetFullPathNameA(slashes.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length >= full.size()) {
        full.resize(length + 1);
        length = GetFullPathNameA(slashes.c_str(), static_cast<DWORD>(full.size()), full.data(),
                                  nullptr);
    }
    std::string normalized =
        length > 0 && length < full.size() ? std::string(full.data(), length) : slashes;
    std::string collapsed;
    for (const char c : normalized) {
        // A doubled separator after the start (which may be a UNC name's "\\") is one.
        if (c == '\\' && collapsed.size() > 1 && collapsed.back() == '\\') continue;
        collapsed += c;
    }
    if (!collapsed.empty()) CharLowerBuffA(collapsed.data(), static_cast<DWORD>(collapsed.size()));
    return collapsed;
}
