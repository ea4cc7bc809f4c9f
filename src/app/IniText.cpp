#include "app/IniText.h"

#include <algorithm>
#include <cstddef>
#include <unordered_map>

#include "model/Text.h"

namespace {

// One line of the text: its content runs from begin to contentEnd, its line end (if any) from
// contentEnd to end.
struct IniLine {
    std::size_t begin;
    std::size_t contentEnd;
    std::size_t end;
};

// A UTF-8 byte-order mark, as some editors write at the start of a file.
const char kByteOrderMark[] = "\xEF\xBB\xBF";

// The mark is no part of the first line; it stays where it is when the text is rewritten.
std::size_t FirstLineBegin(const std::string& text) {
    return text.compare(0, 3, kByteOrderMark) == 0 ? 3 : 0;
}

// The line that starts at begin (which is inside the text). A carriage return, a line feed or
// the pair of them ends a line, so any run of them reads as line ends and empty lines, and no
// carriage return is ever left in a value.
IniLine LineAt(const std::string& text, std::size_t begin) {
    const std::size_t contentEnd = text.find_first_of("\r\n", begin);
    if (contentEnd == std::string::npos) return {begin, text.size(), text.size()};
    const bool pair = text.compare(contentEnd, 2, "\r\n") == 0;
    return {begin, contentEnd, contentEnd + (pair ? 2 : 1)};
}

std::vector<IniLine> SplitIniLines(const std::string& text) {
    std::vector<IniLine> lines;
    lines.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
    for (std::size_t begin = FirstLineBegin(text); begin < text.size();) {
        lines.push_back(LineAt(text, begin));
        begin = lines.back().end;
    }
    return lines;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string TrimBlanks(const std::string& text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && IsBlank(text[first])) ++first;
    while (last > first && IsBlank(text[last - 1])) --last;
    return text.substr(first, last - first);
}

bool IsQuoteWrapped(const std::string& value) {
    return value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
           value.back() == value.front();
}

std::string LineContent(const std::string& text, const IniLine& line) {
    return text.substr(line.begin, line.contentEnd - line.begin);
}

// A section header is "[name]" after optional blanks; the name ends at the last "]".
bool ParseSectionHeader(const std::string& content, std::string* name) {
    std::string trimmed = TrimBlanks(content);
    if (trimmed.empty() || trimmed.front() != '[') return false;
    std::size_t close = trimmed.rfind(']');
    if (close == std::string::npos) return false;
    *name = TrimBlanks(trimmed.substr(1, close - 1));
    return true;
}

// A value ends at a NUL, as the string the system's profile functions hand back does.
std::string UpToNul(const std::string& value) {
    return value.substr(0, value.find('\0'));
}

bool ParseKeyLine(const std::string& content, std::string* key, std::string* value) {
    std::string trimmed = TrimBlanks(content);
    if (trimmed.empty() || trimmed.front() == ';') return false;
    std::size_t equals = trimmed.find('=');
    if (equals == std::string::npos) return false;
    *key = TrimBlanks(trimmed.substr(0, equals));
    if (key->empty()) return false;
    *value = UpToNul(TrimBlanks(trimmed.substr(equals + 1)));
    if (IsQuoteWrapped(*value)) *value = value->substr(1, value->size() - 2);
    return true;
}

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && ToLower(a) == ToLower(b);
}

// Where the section's lines are: its header and the index after its last line.
struct SectionSpan {
    bool found = false;
    std::size_t header = 0;
    std::size_t end = 0;
};

SectionSpan FindSection(const std::string& text, const std::vector<IniLine>& lines,
                        const std::string& section) {
    SectionSpan span;
    std::string name;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!ParseSectionHeader(LineContent(text, lines[i]), &name)) continue;
        if (span.found) {
            span.end = i;
            return span;
        }
        if (SameName(name, section)) {
            span.found = true;
            span.header = i;
        }
    }
    span.end = lines.size();
    return span;
}

// A line break inside a value would start a new line of the file, so it becomes a space; a NUL
// would end it on reading, so the value is stored up to it. A value that would lose blanks or
// quotes on reading is wrapped in quotes, which reading removes.
std::string StoredValue(const std::string& value) {
    std::string stored = UpToNul(value);
    for (char& c : stored) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    if (stored.empty()) return stored;
    if (IsBlank(stored.front()) || IsBlank(stored.back()) || IsQuoteWrapped(stored)) {
        return '"' + stored + '"';
    }
    return stored;
}

std::string EntryLine(const std::string& key, const std::string& value) {
    return TrimBlanks(key) + "=" + StoredValue(value);
}

// The file's own line end, judged by its first line; a new file gets a line feed.
std::string LineEndOf(const std::string& text, const std::vector<IniLine>& lines) {
    if (lines.empty() || lines[0].end == lines[0].contentEnd) return "\n";
    return text.substr(lines[0].contentEnd, lines[0].end - lines[0].contentEnd);
}

// The edits of one SetIniValues call: replaced lines by index, and entries to add in order.
struct IniEdits {
    std::unordered_map<std::size_t, std::string> replaced;
    std::vector<std::string> added;
};

IniEdits PlanEdits(const std::string& text, const std::vector<IniLine>& lines,
                   const SectionSpan& span,
                   const std::vector<std::pair<std::string, std::string>>& values) {
    struct Target {
        bool isAdded;
        std::size_t index;
        std::string key;
    };
    std::unordered_map<std::string, Target> targets;
    std::string key, value;
    for (std::size_t i = span.header + 1; span.found && i < span.end; ++i) {
        if (ParseKeyLine(LineContent(text, lines[i]), &key, &value)) {
            targets.insert({ToLower(key), Target{false, i, key}});
        }
    }
    IniEdits edits;
    for (const auto& [newKey, newValue] : values) {
        if (TrimBlanks(newKey).empty()) continue;
        auto [it, isNew] =
            targets.insert({ToLower(TrimBlanks(newKey)), Target{true, edits.added.size(), newKey}});
        const Target& target = it->second;
        std::string line = EntryLine(target.key, newValue);
        if (isNew) {
            edits.added.push_back(line);
        } else if (target.isAdded) {
            edits.added[target.index] = line;
        } else {
            edits.replaced[target.index] = line;
        }
    }
    return edits;
}

// New keys go after the section's last non-blank line, so blank lines that separate it from
// the next section stay between them.
std::size_t InsertionLine(const std::string& text, const std::vector<IniLine>& lines,
                          const SectionSpan& span) {
    std::size_t after = span.header;
    for (std::size_t i = span.header + 1; i < span.end; ++i) {
        if (!TrimBlanks(LineContent(text, lines[i])).empty()) after = i;
    }
    return after;
}

void AppendLines(const std::vector<std::string>& added, const std::string& lineEnd,
                 std::string* out) {
    for (const std::string& line : added) {
        out->append(line);
        out->append(lineEnd);
    }
}

void AppendOriginalLine(const std::string& text, const IniLine& line, const std::string& lineEnd,
                        bool needsLineEnd, std::string* out) {
    out->append(text, line.begin, line.end - line.begin);
    if (needsLineEnd && line.end == line.contentEnd) out->append(lineEnd);
}

std::string ApplyToSection(const std::string& text, const std::vector<IniLine>& lines,
                           const SectionSpan& span, const IniEdits& edits) {
    const std::string lineEnd = LineEndOf(text, lines);
    const std::size_t insertAfter = InsertionLine(text, lines, span);
    std::string out(text, 0, lines.front().begin);
    out.reserve(text.size() + 256 * (edits.added.size() + edits.replaced.size()));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const bool insertHere = i == insertAfter && !edits.added.empty();
        auto replacement = edits.replaced.find(i);
        if (replacement == edits.replaced.end()) {
            AppendOriginalLine(text, lines[i], lineEnd, insertHere, &out);
        } else {
            out.append(replacement->second);
            out.append(text, lines[i].contentEnd, lines[i].end - lines[i].contentEnd);
            if (insertHere && lines[i].end == lines[i].contentEnd) out.append(lineEnd);
        }
        if (insertHere) AppendLines(edits.added, lineEnd, &out);
    }
    return out;
}

std::string AppendSection(const std::string& text, const std::vector<IniLine>& lines,
                          const std::string& section, const IniEdits& edits) {
    const std::string lineEnd = LineEndOf(text, lines);
    std::string out = text;
    if (!lines.empty()) {
        const IniLine& last = lines.back();
        if (last.end == last.contentEnd) out.append(lineEnd);
        if (!TrimBlanks(LineContent(text, last)).empty()) out.append(lineEnd);
    }
    out.append("[" + section + "]" + lineEnd);
    AppendLines(edits.added, lineEnd, &out);
    return out;
}

}  // namespace

// One pass that ends with the section, so a large text after it costs nothing.
std::unordered_map<std::string, std::string> ReadIniSection(const std::string& text,
                                                            const std::string& section) {
    std::unordered_map<std::string, std::string> values;
    bool inSection = false;
    std::string name, key, value;
    for (std::size_t begin = FirstLineBegin(text); begin < text.size();) {
        const IniLine line = LineAt(text, begin);
        begin = line.end;
        const std::string content = LineContent(text, line);
        if (ParseSectionHeader(content, &name)) {
            if (inSection) break;
            inSection = SameName(name, section);
        } else if (inSection && ParseKeyLine(content, &key, &value)) {
            values.emplace(ToLower(key), std::move(value));
        }
    }
    return values;
}

bool FindIniValue(const std::string& text, const std::string& section, const std::string& key,
                  std::string* value) {
    const auto values = ReadIniSection(text, section);
    const auto found = values.find(ToLower(TrimBlanks(key)));
    if (found == values.end()) return false;
    *value = found->second;
    return true;
}

std::string SetIniValues(const std::string& text, const std::string& section,
                         const std::vector<std::pair<std::string, std::string>>& values) {
    if (values.empty()) return text;
    const std::vector<IniLine> lines = SplitIniLines(text);
    const SectionSpan span = FindSection(text, lines, section);
    const IniEdits edits = PlanEdits(text, lines, span, values);
    if (!span.found) return AppendSection(text, lines, TrimBlanks(section), edits);
    return ApplyToSection(text, lines, span, edits);
}
