#include "Comskip.h"

#include <algorithm>
#include <locale>
#include <sstream>

std::string ComskipSettings() {
    return "detect_method=65\n"
           "output_edl=1\n"
           "output_default=1\n"
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
