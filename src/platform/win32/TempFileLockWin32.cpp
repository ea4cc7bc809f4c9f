#include <windows.h>

#include <cctype>

#include "platform/TempFileLock.h"
#include "platform/TempNameSweep.h"
#include "platform/win32/SystemErrorWin32.h"

namespace {

// GetTempFileNameA's shape: the prefix, one to four hexadecimal digits, ".tmp" in any case.
const std::size_t kMostDigits = 4;
const std::string kTempExtension = ".tmp";
// A run makes its name and opens it a moment later; a lone name this young may be in that
// moment. In the system's file time units of 100 ns.
const long long kYoungFileTime = 60LL * 10000000;

bool HasTempExtension(const std::string& name) {
    if (name.size() < kTempExtension.size()) return false;
    const std::string tail = name.substr(name.size() - kTempExtension.size());
    for (std::size_t i = 0; i < tail.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(tail[i])) != kTempExtension[i]) return false;
    }
    return true;
}

bool IsTempName(const std::string& name, const std::string& prefix) {
    if (name.size() <= prefix.size() + kTempExtension.size() ||
        name.compare(0, prefix.size(), prefix) != 0 || !HasTempExtension(name)) {
        return false;
    }
    const std::size_t digits = name.size() - prefix.size() - kTempExtension.size();
    if (digits > kMostDigits) return false;
    for (std::size_t i = prefix.size(); i < prefix.size() + digits; ++i) {
        if (!std::isxdigit(static_cast<unsigned char>(name[i]))) return false;
    }
    return true;
}

std::string JoinedPath(const std::string& directory, const std::string& name) {
    if (!directory.empty() && (directory.back() == '\\' || directory.back() == '/'))
        return directory + name;
    return directory + "\\" + name;
}

long long FileTimeValue(const FILETIME& time) {
    return static_cast<long long>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

HANDLE HandleOf(std::intptr_t file) {
    return reinterpret_cast<HANDLE>(file);
}

}  // namespace

std::vector<std::string> TempNamePathsIn(const std::string& directory, const std::string& prefix) {
    std::vector<std::string> paths;
    WIN32_FIND_DATAA entry{};
    HANDLE search = FindFirstFileA(JoinedPath(directory, prefix + "*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return paths;
    do {
        if (IsTempName(entry.cFileName, prefix))
            paths.push_back(JoinedPath(directory, entry.cFileName));
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return paths;
}

bool HasFilesNamedLike(const std::string& stem, const std::vector<std::string>& extensions) {
    for (const std::string& extension : extensions) {
        if (GetFileAttributesA((stem + extension).c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    }
    return false;
}

void RemoveLeftFile(const std::string& path, std::vector<SLeftFile>* found) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return;
    const bool removed = DeleteFileA(path.c_str()) != 0;
    found->push_back({path, removed ? std::string() : SystemErrorText(GetLastError())});
}

// A name that opens for this process alone is held by no run.
CUnheldTempName::CUnheldTempName(const std::string& path)
    : m_path(path),
      m_file(reinterpret_cast<std::intptr_t>(
          CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr,
                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr))) {}

CUnheldTempName::~CUnheldTempName() {
    if (IsOpen()) CloseHandle(HandleOf(m_file));
}

bool CUnheldTempName::IsOpen() const {
    return HandleOf(m_file) != INVALID_HANDLE_VALUE;
}

bool CUnheldTempName::IsYoung() const {
    FILETIME written{};
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    return GetFileTime(HandleOf(m_file), nullptr, nullptr, &written) &&
           FileTimeValue(now) - FileTimeValue(written) < kYoungFileTime;
}

// Marks the file, open for deletion, to go when its handle closes.
void CUnheldTempName::Remove(std::vector<SLeftFile>* found) {
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    const bool removed = SetFileInformationByHandle(HandleOf(m_file), FileDispositionInfo,
                                                    &disposition, sizeof disposition);
    found->push_back({m_path, removed ? std::string() : SystemErrorText(GetLastError())});
}

CTempFileLock::~CTempFileLock() {
    Unlock();
}

// Opened without sharing deletion: the name cannot be deleted, and nobody can open it for
// himself alone, while the run holds it.
bool CTempFileLock::Lock(const std::string& path) {
    Unlock();
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    m_file = reinterpret_cast<std::intptr_t>(file);
    return true;
}

void CTempFileLock::Unlock() {
    if (m_file != -1) CloseHandle(reinterpret_cast<HANDLE>(m_file));
    m_file = -1;
}
