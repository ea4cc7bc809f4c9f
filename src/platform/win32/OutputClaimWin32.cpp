#include <windows.h>

#include <cstdint>

#include "platform/FileIdentity.h"
#include "platform/OutputClaim.h"
#include "platform/win32/LongPathWin32.h"
#include "platform/win32/SystemErrorWin32.h"

namespace {

std::string MutexName(const std::string& path) {
    return "Local\\PELKAR-output-" + OutputClaimKey(path);
}

bool IsMissing(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

}  // namespace

COutputClaim::COutputClaim(const std::string& path) {
    // An abandoned mutex is one whose run was killed: it is this run's now.
    const HANDLE mutex = CreateMutexA(nullptr, FALSE, MutexName(path).c_str());
    const DWORD waited = mutex ? WaitForSingleObject(mutex, 0) : WAIT_FAILED;
    if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) {
        m_name = reinterpret_cast<std::intptr_t>(mutex);
    } else if (mutex) {
        CloseHandle(mutex);
    }
    if (waited == WAIT_TIMEOUT) {
        m_state = EState::HeldByAnotherRun;
        return;
    }
    const std::wstring longPath = LongPathForm(path);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (GetFileAttributesExW(longPath.c_str(), GetFileExInfoStandard, &data)) {
        m_state = EState::Claimed;
        if ((data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0)
            return;
        m_before.isRegularFile = true;
        m_before.size = static_cast<long long>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
        m_before.modified = static_cast<long long>(data.ftLastWriteTime.dwHighDateTime) << 32 |
                            data.ftLastWriteTime.dwLowDateTime;
        return;
    }
    const DWORD error = GetLastError();
    m_error = SystemErrorText(error);
    if (!IsMissing(error) || GetFileAttributesW(longPath.c_str()) != INVALID_FILE_ATTRIBUTES ||
        !IsMissing(GetLastError())) {
        return;
    }
    m_state = EState::Claimed;
    m_wasAbsent = true;
}

COutputClaim::~COutputClaim() {
    if (m_name == -1) return;
    ReleaseMutex(reinterpret_cast<HANDLE>(m_name));
    CloseHandle(reinterpret_cast<HANDLE>(m_name));
}
