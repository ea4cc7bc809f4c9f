#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// A fuzz input read as texts separated by NUL bytes, so that seeds can be written by hand
// (printf 'title\0pattern'). Texts that come from C strings (command lines, argument
// vectors) hold no NUL byte anyway.
class CFuzzInput {
public:
    CFuzzInput(const std::uint8_t* data, std::size_t size)
        : m_bytes(reinterpret_cast<const char*>(data), size) {}

    // The next text, up to the next NUL or the end; empty once everything is taken.
    std::string Next() {
        if (m_at >= m_bytes.size()) return std::string();
        std::string::size_type end = m_bytes.find('\0', m_at);
        if (end == std::string::npos) end = m_bytes.size();
        std::string text = m_bytes.substr(m_at, end - m_at);
        m_at = end + 1;
        return text;
    }
    bool AtEnd() const { return m_at >= m_bytes.size(); }
    // Everything not yet taken, NUL bytes included.
    std::string Rest() {
        std::string rest = m_at < m_bytes.size() ? m_bytes.substr(m_at) : std::string();
        m_at = m_bytes.size();
        return rest;
    }
    // Every remaining text.
    std::vector<std::string> All() {
        std::vector<std::string> texts;
        while (m_at < m_bytes.size()) texts.push_back(Next());
        return texts;
    }
    // A number taken from the first byte of the next text (0 when there is none).
    unsigned Small() {
        const std::string text = Next();
        return text.empty() ? 0 : static_cast<unsigned char>(text[0]);
    }

private:
    std::string m_bytes;
    std::string::size_type m_at = 0;
};

// The text with every byte that is not printable ASCII written as \xNN, for reports.
inline std::string Escaped(const std::string& text) {
    std::string escaped;
    for (unsigned char c : text) {
        char code[8];
        std::snprintf(code, sizeof code, "\\x%02x", c);
        escaped += c >= 0x20 && c < 0x7f ? std::string(1, static_cast<char>(c)) : code;
    }
    return escaped;
}

// A property that does not hold: says which and with what, then aborts, so that libFuzzer
// keeps the input as a finding.
#define FUZZ_CHECK(condition, what)                                                   \
    do {                                                                              \
        if (!(condition)) {                                                           \
            std::fprintf(stderr, "Property failed: %s\n  %s\n", #condition,           \
                         Escaped(what).c_str());                                      \
            std::abort();                                                             \
        }                                                                             \
    } while (0)
