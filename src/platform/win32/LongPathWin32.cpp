#include "platform/win32/LongPathWin32.h"

#include <windows.h>

std::wstring WideText(const std::string& text) {
    const int length =
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

// The "\\?\" form of the path, which the wide calls take beyond the classic 260 characters.
// A device's name (a template may name "NUL" itself) resolves to the device ("\\.\NUL"), which
// the output check then refuses as no regular file.
std::wstring LongPathForm(const std::string& path) {
    const std::wstring wide = WideText(path);
    const DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (size == 0) return wide;
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(wide.c_str(), size, &full[0], nullptr);
    full.resize(length);
    // Already long, or in the namespace of devices ("\\.\"): as it is.
    if (full.rfind(L"\\\\?\\", 0) == 0 || full.rfind(L"\\\\.\\", 0) == 0) return full;
    if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}
