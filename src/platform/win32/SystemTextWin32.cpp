#include <windows.h>

#include "platform/SystemText.h"

namespace {

// The text in UTF-16; false on a byte sequence that is not a character of the code page.
bool WideFrom(UINT codePage, const std::string& text, std::wstring* wide) {
    wide->clear();
    if (text.empty()) return true;
    const int length = static_cast<int>(text.size());
    const int units =
        MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), length, nullptr, 0);
    if (units <= 0) return false;
    wide->resize(static_cast<std::size_t>(units));
    return MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), length, &(*wide)[0],
                               units) == units;
}

// The UTF-16 text in the code page; false when a character has no equivalent there (the system
// would put a "?" or a look-alike in its place).
bool NarrowFrom(UINT codePage, const std::wstring& wide, std::string* text) {
    text->clear();
    if (wide.empty()) return true;
    // Where the system's ANSI code page is UTF-8 itself, the flags below are refused.
    const bool isUtf8 = (codePage == CP_ACP ? GetACP() : codePage) == CP_UTF8;
    const DWORD flags = isUtf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* lossy = isUtf8 ? nullptr : &usedDefault;
    const int length = static_cast<int>(wide.size());
    const int bytes =
        WideCharToMultiByte(codePage, flags, wide.data(), length, nullptr, 0, nullptr, lossy);
    if (bytes <= 0 || usedDefault) return false;
    text->resize(static_cast<std::size_t>(bytes));
    return WideCharToMultiByte(codePage, flags, wide.data(), length, &(*text)[0], bytes, nullptr,
                               lossy) == bytes &&
           !usedDefault;
}

}  // namespace

bool SystemTextFromUtf8(const std::string& utf8, std::string* text) {
    std::wstring wide;
    return WideFrom(CP_UTF8, utf8, &wide) && NarrowFrom(CP_ACP, wide, text);
}

bool Utf8FromSystemText(const std::string& text, std::string* utf8) {
    std::wstring wide;
    return WideFrom(CP_ACP, text, &wide) && NarrowFrom(CP_UTF8, wide, utf8);
}
