#include "model/Utf16Text.h"

#include <cstddef>

namespace {

const char32_t kHighSurrogateFirst = 0xD800;
const char32_t kLowSurrogateFirst = 0xDC00;
const char32_t kSurrogateEnd = 0xE000;
const char32_t kLastCodePoint = 0x10FFFF;

bool IsHighSurrogate(char32_t unit) {
    return unit >= kHighSurrogateFirst && unit < kLowSurrogateFirst;
}

bool IsLowSurrogate(char32_t unit) {
    return unit >= kLowSurrogateFirst && unit < kSurrogateEnd;
}

char32_t UnitAt(const std::string& bytes, std::size_t at) {
    return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
}

void AppendUtf8(char32_t code, std::string* utf8) {
    if (code < 0x80) {
        *utf8 += static_cast<char>(code);
    } else if (code < 0x800) {
        *utf8 += static_cast<char>(0xC0 | code >> 6);
        *utf8 += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        *utf8 += static_cast<char>(0xE0 | code >> 12);
        *utf8 += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        *utf8 += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        *utf8 += static_cast<char>(0xF0 | code >> 18);
        *utf8 += static_cast<char>(0x80 | (code >> 12 & 0x3F));
        *utf8 += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        *utf8 += static_cast<char>(0x80 | (code & 0x3F));
    }
}

void AppendUnit(char32_t unit, std::string* bytes) {
    *bytes += static_cast<char>(unit & 0xFF);
    *bytes += static_cast<char>(unit >> 8);
}

void AppendUtf16Le(char32_t code, std::string* bytes) {
    if (code < 0x10000) {
        AppendUnit(code, bytes);
        return;
    }
    code -= 0x10000;
    AppendUnit(kHighSurrogateFirst + (code >> 10), bytes);
    AppendUnit(kLowSurrogateFirst + (code & 0x3FF), bytes);
}

// The length of the sequence a lead byte starts and the bits it carries; length 0 for a byte
// that cannot lead one.
struct SLeadByte {
    std::size_t length;
    char32_t bits;
};

SLeadByte LeadByte(unsigned char lead) {
    if (lead < 0x80) return {1, lead};
    if (lead >= 0xC2 && lead < 0xE0) return {2, lead & 0x1Fu};
    if (lead >= 0xE0 && lead < 0xF0) return {3, lead & 0x0Fu};
    if (lead >= 0xF0 && lead < 0xF5) return {4, lead & 0x07u};
    return {0, 0};
}

// The code point that starts at *at, moving *at past it; false on a sequence that is not UTF-8.
bool NextCodePoint(const std::string& utf8, std::size_t* at, char32_t* code) {
    const SLeadByte lead = LeadByte(static_cast<unsigned char>(utf8[*at]));
    const std::size_t length = lead.length;
    *code = lead.bits;
    if (length == 0 || *at + length > utf8.size()) return false;
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char next = static_cast<unsigned char>(utf8[*at + i]);
        if ((next & 0xC0) != 0x80) return false;
        *code = *code << 6 | (next & 0x3F);
    }
    static const char32_t kShortestFrom[] = {0, 0, 0x80, 0x800, 0x10000};
    *at += length;
    return *code >= kShortestFrom[length] && *code <= kLastCodePoint &&
           !(*code >= kHighSurrogateFirst && *code < kSurrogateEnd);
}

}  // namespace

bool Utf8FromUtf16Le(const std::string& bytes, std::string* utf8) {
    utf8->clear();
    if (bytes.size() % 2 != 0) return false;
    utf8->reserve(bytes.size() / 2);
    for (std::size_t at = 0; at < bytes.size(); at += 2) {
        const char32_t unit = UnitAt(bytes, at);
        if (IsLowSurrogate(unit)) return false;
        if (!IsHighSurrogate(unit)) {
            AppendUtf8(unit, utf8);
            continue;
        }
        at += 2;
        if (at >= bytes.size() || !IsLowSurrogate(UnitAt(bytes, at))) return false;
        AppendUtf8(0x10000 + ((unit - kHighSurrogateFirst) << 10) +
                       (UnitAt(bytes, at) - kLowSurrogateFirst),
                   utf8);
    }
    return true;
}

bool Utf16LeFromUtf8(const std::string& utf8, std::string* bytes) {
    bytes->clear();
    bytes->reserve(utf8.size() * 2);
    for (std::size_t at = 0; at < utf8.size();) {
        char32_t code = 0;
        if (!NextCodePoint(utf8, &at, &code)) return false;
        AppendUtf16Le(code, bytes);
    }
    return true;
}
