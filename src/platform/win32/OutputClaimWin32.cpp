#include <windows.h>

#include <functional>

#include "platform/FileIdentity.h"
#include "platform/OutputClaim.h"
#include "platform/win32/LongPathWin32.h"
#include "platform/win32/SystemErrorWin32.h"

namespace {

// A handle with no access at all: it takes no part in the checks of sharing, so the tool opens,
// truncates and writes the file as if the handle were not there.
HANDLE OpenForIdentity(const std::string& path, DWORD disposition) {
    return CreateFileW(LongPathForm(path).c_str(), 0,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// One mutex per output, named after the normalised path, so that two spellings of one path
// meet.
std::string MutexName(const std::string& path) {
    return "Local\\PELKAR-output-" + std::to_string(std::hash<std::string>()(NormalizedPath(path)));
}

}  // namespace

COutputClaim::COutputClaim(const std::string& path) {
    // An abandoned mutex is one whose run was killed: it is this run's now.
    const HANDLE mutex = CreateMutexA(nullptr, FALSE, MutexName(path).c_str());
    const DWORD waited = mutex ? WaitForSingleObject(mutex, 0) : WAIT_FAILED;
    if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) {
        m_mutex = reinterpret_cast<std::intptr_t>(mutex);
    } else if (mutex) {
        CloseHandle(mutex);
    }
    if (waited == WAIT_TIMEOUT) {
        m_state = EState::HeldByAnotherRun;
        return;
    }
    HANDLE file = OpenForIdentity(path, CREATE_NEW);
    m_madeTheFile = file != INVALID_HANDLE_VALUE;
    if (file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS)
        file = OpenForIdentity(path, OPEN_EXISTING);
    if (file == INVALID_HANDLE_VALUE) {
        m_error = SystemErrorText(GetLastError());
        return;
    }
    m_file = reinterpret_cast<std::intptr_t>(file);
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(file, &information)) {
        m_error = SystemErrorText(GetLastError());
        return;
    }
    m_state = EState::Claimed;
    if ((information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return;
    m_before.isRegularFile = true;
    m_before.size =
        static_cast<long long>(information.nFileSizeHigh) << 32 | information.nFileSizeLow;
    m_before.modified = static_cast<long long>(information.ftLastWriteTime.dwHighDateTime) << 32 |
                        information.ftLastWriteTime.dwLowDateTime;
}

COutputClaim::~COutputClaim() {
    if (m_file != -1) CloseHandle(reinterpret_cast<HANDLE>(m_file));
    if (m_mutex != 0) {
        ReleaseMutex(reinterpret_cast<HANDLE>(m_mutex));
        CloseHandle(reinterpret_cast<HANDLE>(m_mutex));
    }
}
