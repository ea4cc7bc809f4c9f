#pragma once

#include <string>

// Conversions between UTF-8 and UTF-16 in little-endian byte order, both without a byte-order
// mark. Neither guesses: text that is not valid in its encoding is refused, so a file is never
// rewritten from a misreading.

// False on an odd number of bytes or a surrogate without its partner.
bool Utf8FromUtf16Le(const std::string& bytes, std::string* utf8);

// False on bytes that are not UTF-8 (overlong forms and surrogates included).
bool Utf16LeFromUtf8(const std::string& utf8, std::string* bytes);
