// The profile's reader and writer. Around the program's section stand foreign text before it
// and a foreign section after it. Writing any values to the program's keys: each reads back
// as written (a line break becomes a space, as one value is one line), the foreign text
// survives byte for byte, and no value adds a key or a section. Lines end at a carriage
// return, a line feed or both. The written text also goes through a UTF-16 profile's encoding
// and back unchanged.

#include <algorithm>
#include <map>
#include <set>

#include "FuzzInput.h"
#include "app/IniText.h"
#include "platform/ProfileEncoding.h"
#include "model/Text.h"

namespace {

const char kSection[] = "PELKAR";

std::vector<std::string> ProgramKeys() {
    std::vector<std::string> keys = {"rtvEditPath", "evtDumpPath", "ffmpegPath",
                                     "tempPath",    "logging",     "loggingPath"};
    for (int i = 0; i < 75; ++i) keys.push_back(FormatText("action%02d", i));
    return keys;
}

// So that foreign text cannot name the program's section.
std::string Foreign(std::string text) {
    const std::string lower = ToLower(text);
    for (auto at = lower.find("pelkar"); at != std::string::npos; at = lower.find("pelkar", at + 1))
        text[at + 5] = 'x';
    return text;
}

std::string EndedLine(std::string text) {
    if (!text.empty() && text.back() != '\n') text += '\n';
    return text;
}

std::string WithoutLineBreaks(std::string text) {
    std::replace(text.begin(), text.end(), '\n', ' ');
    std::replace(text.begin(), text.end(), '\r', ' ');
    return text;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (std::string::size_type start = 0; start < text.size();) {
        std::string::size_type end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

bool IsHeaderLine(const std::string& line) {
    const std::string::size_type first = line.find_first_not_of(" \t");
    return first != std::string::npos && line[first] == '[' &&
           line.find(']', first) != std::string::npos;
}

// The section's own lines hold no header; a line that would be one loses its bracket.
std::string SectionBody(const std::string& text) {
    std::string body;
    for (const std::string& line : Lines(text)) {
        std::string kept = line;
        if (IsHeaderLine(kept)) kept[kept.find('[')] = '(';
        body += kept + "\n";
    }
    return body;
}

std::size_t CountHeaders(const std::string& text) {
    const std::string withoutMark = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? text.substr(3) : text;
    const std::vector<std::string> lines = Lines(withoutMark);
    return static_cast<std::size_t>(std::count_if(lines.begin(), lines.end(), IsHeaderLine));
}

std::set<std::string> KeysOf(const std::string& text) {
    std::set<std::string> keys;
    for (const auto& entry : ReadIniSection(text, kSection)) keys.insert(entry.first);
    return keys;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CFuzzInput input(data, size);
    const bool hasSection = input.Small() % 2 == 0;
    const std::string before = EndedLine(Foreign(input.Next()));
    const std::string section = hasSection ? "[PELKAR]\n" + SectionBody(input.Next()) : "";
    const std::string after =
        "[" + WithoutLineBreaks(Foreign(input.Next())) + "]\n" + Foreign(input.Next());
    const std::string text = before + section + after;

    static const std::vector<std::string> keys = ProgramKeys();
    std::vector<std::pair<std::string, std::string>> writes;
    std::map<std::string, std::string> expected;
    while (!input.AtEnd()) {
        const std::string key = keys[input.Small() % keys.size()];
        const std::string value = input.Next();
        writes.emplace_back(key, value);
        expected[key] = WithoutLineBreaks(value);
    }
    const std::string written = SetIniValues(text, kSection, writes);

    for (const auto& [key, value] : expected) {
        std::string readBack;
        FUZZ_CHECK(FindIniValue(written, kSection, key, &readBack) && readBack == value,
                   key + "=" + value + " read back as " + readBack);
    }
    std::set<std::string> keysAfter = KeysOf(text);
    for (const auto& entry : expected) keysAfter.insert(ToLower(entry.first));
    FUZZ_CHECK(KeysOf(written) == keysAfter, "keys added or lost in:\n" + written);
    FUZZ_CHECK(CountHeaders(written) == CountHeaders(text) + (hasSection || writes.empty() ? 0 : 1),
               "sections added in:\n" + written);
    FUZZ_CHECK(written.compare(0, before.size(), before) == 0, "text before changed:\n" + written);
    if (hasSection || writes.empty()) {
        FUZZ_CHECK(written.size() >= after.size() &&
                       written.compare(written.size() - after.size(), after.size(), after) == 0,
                   "text after changed:\n" + written);
    } else {
        FUZZ_CHECK(written.compare(0, text.size(), text) == 0, "text changed:\n" + written);
    }
    std::string utf16, decoded;
    EProfileEncoding encoding;
    if (ProfileBytesOf(written, EProfileEncoding::Utf16LeWithMark, &utf16)) {
        FUZZ_CHECK(ProfileTextOf(utf16, &encoding, &decoded) && decoded == written &&
                       encoding == EProfileEncoding::Utf16LeWithMark,
                   "UTF-16 round trip changed:\n" + written);
    }
    return 0;
}
