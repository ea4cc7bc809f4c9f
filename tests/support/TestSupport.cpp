#include "TestSupport.h"

#include <filesystem>
#include <fstream>
#include <sstream>

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteWholeFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

bool FileExists(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::exists(path, ignored);
}

std::string Utf16LeOfLatin1(const std::string& text) {
    std::string bytes;
    for (char c : text) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

std::string MarkedUtf16BeOfLatin1(const std::string& text) {
    std::string bytes = "\xFE\xFF";
    for (char c : text) {
        bytes += '\0';
        bytes += c;
    }
    return bytes;
}

bool Latin1OfUtf16Le(const std::string& bytes, std::string* text) {
    text->clear();
    if (bytes.size() % 2 != 0) return false;
    for (std::string::size_type at = 0; at < bytes.size(); at += 2) {
        if (bytes[at + 1] != '\0') return false;
        *text += bytes[at];
    }
    return true;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string::size_type start = 0;
    while (start < text.size()) {
        std::string::size_type end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}
