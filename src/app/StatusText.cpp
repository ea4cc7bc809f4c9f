#include "app/StatusText.h"

#include <algorithm>

namespace {

const char kEllipsis[] = "...";
const std::string::size_type kEllipsisLength = sizeof kEllipsis - 1;

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The start of the text's last bytes, moved on to the start of a character.
std::string::size_type KeepEndFrom(const std::string& text, std::string::size_type keep) {
    std::string::size_type from = text.size() - std::min(keep, text.size());
    while (from < text.size() && IsContinuationByte(text[from])) ++from;
    return from;
}

// The length of the text's first bytes, moved back to the end of a character.
std::string::size_type KeepBeginningTo(const std::string& text, std::string::size_type keep) {
    std::string::size_type to = std::min(keep, text.size());
    while (to > 0 && to < text.size() && IsContinuationByte(text[to])) --to;
    return to;
}

// The value of the line that starts with the label, as a range of the text.
bool FindLineValue(const std::string& text, const std::string& label,
                   std::string::size_type* begin, std::string::size_type* end) {
    const std::string::size_type at = text.find(label);
    if (at == std::string::npos || (at > 0 && text[at - 1] != '\n')) return false;
    *begin = at + label.size();
    *end = std::min(text.find('\n', *begin), text.size());
    return true;
}

// The length of the path's last part, its file name.
std::string::size_type FileNameLength(const std::string& path) {
    const std::string::size_type separator = path.find_last_of("/\\");
    return separator == std::string::npos ? path.size() : path.size() - separator - 1;
}

// Shortens the value on the labelled line by up to excess bytes, keeping at least minimum
// bytes of it; keepEnd keeps its end rather than its beginning. Returns the bytes saved.
std::string::size_type ShortenLine(std::string* text, const std::string& label,
                                   std::string::size_type excess, bool keepEnd,
                                   std::string::size_type minimum = 0) {
    std::string::size_type begin, end;
    if (excess == 0 || !FindLineValue(*text, label, &begin, &end)) return 0;
    const std::string value = text->substr(begin, end - begin);
    if (value.size() <= kEllipsisLength) return 0;
    const std::string::size_type keep = std::max(
        minimum,
        value.size() > excess + kEllipsisLength ? value.size() - excess - kEllipsisLength : 0);
    const std::string shortened =
        keepEnd ? kEllipsis + value.substr(KeepEndFrom(value, keep))
                : value.substr(0, KeepBeginningTo(value, keep)) + kEllipsis;
    if (shortened.size() >= value.size()) return 0;
    text->replace(begin, value.size(), shortened);
    return value.size() - shortened.size();
}

}  // namespace

std::string FitStatusText(const std::string& text, std::string::size_type limit) {
    if (text.size() <= limit) return text;
    std::string fitted = text;
    std::string::size_type excess = fitted.size() - limit;
    std::string::size_type begin, end;
    const std::string::size_type fileName =
        FindLineValue(fitted, "Source: ", &begin, &end)
            ? FileNameLength(fitted.substr(begin, end - begin))
            : 0;
    excess -= ShortenLine(&fitted, "Source: ", excess, true, fileName);
    excess -= ShortenLine(&fitted, "Action: ", excess, false);
    excess -= ShortenLine(&fitted, "Source: ", excess, true);
    if (excess == 0) return fitted;
    return fitted.substr(0, KeepBeginningTo(fitted, limit));
}
