#include <windows.h>

#include "platform/AppendFile.h"
#include "platform/win32/SystemErrorWin32.h"

struct CAppendFile::Handle {
    HANDLE file = INVALID_HANDLE_VALUE;
};

namespace {

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
    m_handle->file = CreateFileA(path.c_str(), FILE_APPEND_DATA,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (IsOpen()) return true;
    if (error) *error = path + ": " + SystemErrorText(GetLastError());
    return false;
}

// A handle opened with append access alone writes every block at the end of the file as it is
// at that moment, also when other processes have written since.
bool CAppendFile::Write(const std::string& bytes) {
    if (!IsOpen()) return false;
    const std::string text = WithCarriageReturns(bytes);
    DWORD written = 0;
    return WriteFile(m_handle->file, text.data(), static_cast<DWORD>(text.size()), &written,
                     nullptr) &&
           written == text.size();
}

void CAppendFile::Close() {
    if (!IsOpen()) return;
    CloseHandle(m_handle->file);
    m_handle->file = INVALID_HANDLE_VALUE;
}

bool CAppendFile::IsOpen() const {
    return m_handle->file != INVALID_HANDLE_VALUE;
}
