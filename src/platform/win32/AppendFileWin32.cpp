#include <windows.h>

#include "platform/AppendFile.h"
#include "platform/win32/SystemErrorWin32.h"

struct CAppendFile::Handle {
    HANDLE file = INVALID_HANDLE_VALUE;
};

namespace {

// The byte the writers lock: no log grows that far, so readers are never held up.
const DWORD kLockOffsetHigh = 0x7FFFFFFF;

// Text mode: every line feed goes out as a carriage return and a line feed.
std::string WithCarriageReturns(const std::string& bytes) {
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 16);
    for (char c : bytes) {
        if (c == '\n') text += '\r';
        text += c;
    }
    return text;
}

}  // namespace

CAppendFile::CAppendFile() : m_handle(std::make_unique<Handle>()) {}

CAppendFile::~CAppendFile() {
    Close();
}

// Shared with everyone for reading, writing and deleting; the handle is not inheritable, so
// the tools the program starts never hold the log open.
bool CAppendFile::Open(const std::string& path, std::string* error) {
    Close();
    m_handle->file = CreateFileA(path.c_str(), GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (IsOpen()) return true;
    if (error) *error = path + ": " + SystemErrorText(GetLastError());
    return false;
}

// Every writer of the log takes the same lock, far beyond any data, around its move to the end
// and its write, so a line always lands whole at the end as it is at that moment, also when
// other processes have written since. (Append access alone promises that on Windows, but not
// under Wine.)
bool CAppendFile::Write(const std::string& bytes) {
    if (!IsOpen()) return false;
    const std::string text = WithCarriageReturns(bytes);
    OVERLAPPED lockRange{};
    lockRange.OffsetHigh = kLockOffsetHigh;
    if (!LockFileEx(m_handle->file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &lockRange)) return false;
    const LARGE_INTEGER none{};
    DWORD written = 0;
    const bool whole = SetFilePointerEx(m_handle->file, none, nullptr, FILE_END) &&
                       WriteFile(m_handle->file, text.data(), static_cast<DWORD>(text.size()),
                                 &written, nullptr) &&
                       written == text.size();
    UnlockFileEx(m_handle->file, 0, 1, 0, &lockRange);
    return whole;
}

void CAppendFile::Close() {
    if (!IsOpen()) return;
    CloseHandle(m_handle->file);
    m_handle->file = INVALID_HANDLE_VALUE;
}

bool CAppendFile::IsOpen() const {
    return m_handle->file != INVALID_HANDLE_VALUE;
}
