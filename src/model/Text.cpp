#include "model/Text.h"

#include <climits>
#include <cstdarg>
#include <cstdio>
#include <vector>

bool IsWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string TrimRight(const std::string& text) {
    std::string::size_type end = text.size();
    while (end > 0 && IsWhiteSpace(text[end - 1])) {
        --end;
    }
    return text.substr(0, end);
}

std::string Trim(const std::string& text) {
    std::string::size_type begin = 0;
    while (begin < text.size() && IsWhiteSpace(text[begin])) {
        ++begin;
    }
    return TrimRight(text.substr(begin));
}

std::string ToLower(const std::string& text) {
    std::string lower = text;
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lower;
}

std::string FormatText(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    va_list measuring;
    va_copy(measuring, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, measuring);
    va_end(measuring);
    std::string text;
    if (length > 0) {
        std::vector<char> buffer(static_cast<size_t>(length) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), format, arguments);
        text.assign(buffer.data(), static_cast<size_t>(length));
    }
    va_end(arguments);
    return text;
}

int DecimalValue(const std::string& text) {
    std::string::size_type i = 0;
    while (i < text.size() && IsWhiteSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Growth stops just past the int range, so a long run of digits cannot overflow.
    const long long limit = static_cast<long long>(INT_MAX) + 1;
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9' && value <= limit; ++i) {
        value = value * 10 + (text[i] - '0');
    }
    if (negative) {
        return value >= limit ? INT_MIN : static_cast<int>(-value);
    }
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}
