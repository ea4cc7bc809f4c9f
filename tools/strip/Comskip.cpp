#include "Comskip.h"

#include <algorithm>
#include <locale>
#include <sstream>

namespace {

// Below this volume, on comskip's scale, a frame is silent.
const int kSilentVolume = 100;

struct SFrameColumns {
    std::size_t black = 0;
    std::size_t volume = 0;
    std::size_t seconds = 0;
    std::size_t count = 0;
};

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream cells(line);
    for (std::string cell; std::getline(cells, cell, ',');) {
        const auto first = cell.find_first_not_of(" \r");
        const auto last = cell.find_last_not_of(" \r");
        fields.push_back(first == std::string::npos ? "" : cell.substr(first, last - first + 1));
    }
    return fields;
}

bool FindColumns(const std::vector<std::string>& names, SFrameColumns* columns) {
    const auto at = [&names](const char* name) {
        return static_cast<std::size_t>(std::find(names.begin(), names.end(), name) -
                                        names.begin());
    };
    *columns = {at("isblack"), at("sound"), at("PTS"), names.size()};
    return columns->black < names.size() && columns->volume < names.size() &&
           columns->seconds < names.size();
}

double Number(const std::string& text) {
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    double number = 0;
    in >> number;
    return number;
}

}  // namespace

std::string ComskipSettings() {
    return "detect_method=65\n"
           "max_silence=" +
           std::to_string(kSilentVolume) +
           "\n"
           "output_edl=1\n"
           "output_default=1\n"
           "output_framearray=1\n"
           "delete_show_after_last_commercial=0\n"
           "delete_show_before_first_commercial=0\n"
           "min_commercial_break_at_start_or_end=0\n"
           "always_keep_first_seconds=0\n"
           "always_keep_last_seconds=0\n";
}

std::vector<std::string> ComskipCommand(const std::string& comskip, const std::string& settings,
                                        const std::string& resultFolder,
                                        const std::string& recording) {
    return {comskip, "--quiet", "--ini=" + settings, "--output=" + resultFolder, recording};
}

std::vector<SSpan> ParseEdl(const std::string& edl) {
    std::vector<SSpan> spans;
    std::istringstream lines(edl);
    lines.imbue(std::locale::classic());
    SSpan span;
    int action = 0;
    while (lines >> span.start >> span.end >> action) {
        if (span.end > span.start) spans.push_back(span);
    }
    std::sort(spans.begin(), spans.end(),
              [](const SSpan& a, const SSpan& b) { return a.start < b.start; });
    return spans;
}

std::vector<SSpan> ParseQuietBlackStretches(const std::string& frameTable) {
    std::istringstream lines(frameTable);
    std::string line;
    SFrameColumns columns;
    while (std::getline(lines, line))
        if (FindColumns(Fields(line), &columns)) break;
    std::vector<SSpan> stretches;
    bool inBlack = false, silenceInIt = false;
    while (std::getline(lines, line)) {
        const std::vector<std::string> fields = Fields(line);
        if (fields.size() < columns.count) continue;
        const double seconds = Number(fields[columns.seconds]);
        const bool black = Number(fields[columns.black]) != 0;
        if (inBlack) stretches.back().end = seconds;
        if (inBlack && !black && !silenceInIt) stretches.pop_back();
        if (!inBlack && black) stretches.push_back({seconds, seconds});
        silenceInIt =
            black && ((inBlack && silenceInIt) || Number(fields[columns.volume]) < kSilentVolume);
        inBlack = black;
    }
    if (inBlack && !silenceInIt) stretches.pop_back();
    return stretches;
}

double CutListSeconds(const std::string& cutList) {
    std::istringstream words(cutList);
    words.imbue(std::locale::classic());
    std::string file, processing, complete, framesWord, at;
    double frames = 0, hundredthsOfHertz = 0;
    if (!(words >> file >> processing >> complete >> frames >> framesWord >> at >>
          hundredthsOfHertz) ||
        framesWord != "FRAMES" || hundredthsOfHertz <= 0)
        return -1;
    return frames / (hundredthsOfHertz / 100);
}
