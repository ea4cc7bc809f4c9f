#include "platform/wx/TextWx.h"

#include <wx/strconv.h>

#include <algorithm>

wxString ToWx(const std::string& text) {
    if (text.empty()) return wxString();
    const wxString unicode = wxString::FromUTF8(text.data(), text.size());
    if (!unicode.empty()) return unicode;
    return wxString(text.data(), wxConvISO8859_1, text.size());
}

std::string FromWx(const wxString& text) {
    const wxScopedCharBuffer utf8 = text.utf8_str();
    return std::string(utf8.data(), utf8.length());
}

long CharacterOffset(const std::string& text, int byteOffset) {
    const std::size_t end = std::min<std::size_t>(std::max(byteOffset, 0), text.size());
    return static_cast<long>(ToWx(text.substr(0, end)).length());
}
