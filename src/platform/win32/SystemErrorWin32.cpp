#include "platform/win32/SystemErrorWin32.h"

#include <windows.h>

#include "platform/SystemError.h"

std::string SystemErrorText(unsigned long errorCode) {
    char* message = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, errorCode, 0, reinterpret_cast<char*>(&message), 0, nullptr);
    std::string text = length > 0 && message ? std::string(message, length) : std::string();
    LocalFree(message);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) {
        text.pop_back();
    }
    return text.empty() ? "error " + std::to_string(errorCode) : text;
}

SSystemError SystemError(int code) {
    return SSystemError{code, SystemErrorText(static_cast<unsigned long>(code))};
}
