#include "EditScript.h"

#include <cmath>
#include <locale>
#include <sstream>

namespace {

const char kVersionLine[] = "pelkar-edit 1";
const char kEndLine[] = "end";
const char kOpenEnd[] = "-";
// Shorter pieces of show between two breaks are not worth a cut.
const double kShortestKeptSeconds = 0.1;

bool ParseSeconds(const std::string& text, double* seconds) {
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    return static_cast<bool>(in >> *seconds) && in.peek() == EOF && *seconds >= 0 &&
           std::isfinite(*seconds);
}

bool ParseKeep(const std::string& arguments, SKeepRange* range) {
    std::istringstream words(arguments);
    std::string start, end, extra;
    if (!(words >> start >> end) || (words >> extra)) return false;
    range->toEnd = end == kOpenEnd;
    return ParseSeconds(start, &range->start) &&
           (range->toEnd || (ParseSeconds(end, &range->end) && range->end > range->start));
}

std::string WithoutCarriageReturn(std::string line) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

bool Fail(const std::string& why, std::string* reason) {
    *reason = why;
    return false;
}

bool AddKeep(const std::string& arguments, SEditScript* script, std::string* reason) {
    SKeepRange range;
    if (!ParseKeep(arguments, &range))
        return Fail("unreadable keep range \"" + arguments + "\"", reason);
    if (!script->keep.empty()) {
        const SKeepRange& last = script->keep.back();
        if (last.toEnd || range.start < last.end)
            return Fail("keep range \"" + arguments + "\" is out of order", reason);
    }
    script->keep.push_back(range);
    return true;
}

// One line of the script after its version line; *ended once the end line is read.
bool ReadDirective(const std::string& line, SEditScript* script, bool* ended, std::string* reason) {
    const std::string::size_type blank = line.find(' ');
    const std::string word = line.substr(0, blank);
    const std::string rest = blank == std::string::npos ? "" : line.substr(blank + 1);
    if (line.empty()) return true;
    if (line[0] == '#') {
        script->comments.push_back(line.substr(line.compare(0, 2, "# ") == 0 ? 2 : 1));
        return true;
    }
    if (word == kEndLine && rest.empty()) {
        *ended = true;
        return true;
    }
    if (word == "source" && !rest.empty()) {
        script->source = rest;
        return true;
    }
    if (word == "keep") return AddKeep(rest, script, reason);
    return Fail("unknown line \"" + line + "\" in the edit script", reason);
}

}  // namespace

std::string FormatSeconds(double seconds) {
    const long long milliseconds = std::llround(seconds * 1000);
    std::string fraction = std::to_string(milliseconds % 1000);
    fraction.insert(0, 3 - fraction.size(), '0');
    return std::to_string(milliseconds / 1000) + "." + fraction;
}

std::string FormatEditScript(const SEditScript& script) {
    std::string text = std::string(kVersionLine) + "\nsource " + script.source + "\n";
    for (const std::string& comment : script.comments) text += "# " + comment + "\n";
    for (const SKeepRange& range : script.keep) {
        text += "keep " + FormatSeconds(range.start) + " " +
                (range.toEnd ? kOpenEnd : FormatSeconds(range.end)) + "\n";
    }
    return text + kEndLine + "\n";
}

std::vector<SKeepRange> KeepRangesOutside(const std::vector<SSpan>& breaks) {
    std::vector<SKeepRange> keep;
    double start = 0;
    for (const SSpan& cut : breaks) {
        if (cut.start - start >= kShortestKeptSeconds) keep.push_back({start, cut.start, false});
        start = std::max(start, cut.end);
    }
    keep.push_back({start, 0, true});
    return keep;
}

bool ReadEditRequest(std::istream& input, SEditRequest* request, std::string* reason) {
    std::string line;
    if (!std::getline(input, line) || line.empty() || line[0] != 'T' || line.size() < 2)
        return Fail("the first line is not \"T<output path>\"", reason);
    request->output = WithoutCarriageReturn(line.substr(1));
    if (!std::getline(input, line) || WithoutCarriageReturn(line) != kVersionLine)
        return Fail("no edit script (its first line is not \"" + std::string(kVersionLine) + "\")",
                    reason);
    bool ended = false;
    while (!ended && std::getline(input, line)) {
        if (!ReadDirective(WithoutCarriageReturn(line), &request->script, &ended, reason))
            return false;
    }
    if (!ended) return Fail("the edit script has no end line", reason);
    if (request->script.source.empty()) return Fail("the edit script names no source", reason);
    if (request->script.keep.empty()) return Fail("the edit script keeps nothing", reason);
    return true;
}
