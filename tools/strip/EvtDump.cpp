// pelkar-evtdump: takes EVTDump's place. Given a recording's event file, it prints the edit
// script that pelkar-rtvedit carries out: the show kept around the commercial breaks. Breaks
// come from the event file when it checks out, else from comskip on the recording beside it
// (the event file's name with ".mpg"); when neither finds any, the script keeps the whole
// recording and says why. It ends with status 0 whenever it printed a script.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "BreakFinder.h"
#include "ComskipRun.h"
#include "EditScript.h"
#include "EventFile.h"
#include "ffmpeg-frontend/Launch.h"

namespace {

std::string SpanText(const SSpan& span) {
    return FormatSeconds(span.start) + " to " + FormatSeconds(span.end) + " s";
}

void AddFindings(const SBreakFindings& findings, SEditScript* script) {
    for (const SBreak& found : findings.breaks)
        script->comments.push_back("break " + SpanText(found.span) + ", " +
                                   std::to_string(found.spots) + " spots");
    for (const SSpan& fade : findings.loneFades)
        script->comments.push_back("lone fade at " + SpanText(fade) + " kept as show");
    for (const SSpan& chain : findings.rejectedChains)
        script->comments.push_back("spot-like gaps " + SpanText(chain) +
                                   " kept as show: too few spots or too long for a break");
}

std::vector<SSpan> Spans(const std::vector<SBreak>& breaks) {
    std::vector<SSpan> spans;
    for (const SBreak& found : breaks) spans.push_back(found.span);
    return spans;
}

// The event file's reading, or why there is none.
SEventFile ReadEvents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        SEventFile missing;
        missing.note = "it cannot be read";
        return missing;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return ReadEventFile(bytes.str());
}

// The show around the breaks; all of the recording, and why, when there are none.
void KeepShow(const std::vector<SSpan>& breaks, const std::string& whyNone, SEditScript* script) {
    if (breaks.empty()) script->comments.push_back("the whole recording is kept: " + whyNone);
    script->keep = KeepRangesOutside(breaks);
}

// 0, or the status to end with when a stop came while comskip ran.
int Plan(const std::string& eventPath, SEditScript* script) {
    const SEventFile events = ReadEvents(eventPath);
    if (events.usable) {
        script->comments.push_back("method: event file " + eventPath + " (" + events.note + ")");
        const SBreakFindings findings = FindBreaks(events.records);
        AddFindings(findings, script);
        KeepShow(Spans(findings.breaks), "no breaks found", script);
        return 0;
    }
    script->comments.push_back("the event file " + eventPath + " is not used: " + events.note);
    const SComskipResult detected = DetectWithComskip(script->source);
    if (detected.stopStatus != 0) return detected.stopStatus;
    if (!detected.used) {
        KeepShow({}, detected.note, script);
        return 0;
    }
    script->comments.push_back("method: " + detected.note);
    for (const SSpan& span : detected.breaks) script->comments.push_back("break " + SpanText(span));
    for (const SSpan& fade : detected.loneFades)
        script->comments.push_back("lone fade at " + SpanText(fade) + " left out of a break");
    KeepShow(detected.breaks, "no breaks found", script);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    StopWithStarter();
    if (argc != 2) {
        std::fputs("usage: pelkar-evtdump EVENTFILE\n", stderr);
        return 2;
    }
    SEditScript script;
    script.source = std::filesystem::path(argv[1]).replace_extension(".mpg").string();
    const int stopped = Plan(argv[1], &script);
    if (stopped != 0) return stopped;
    const std::string text = FormatEditScript(script);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
