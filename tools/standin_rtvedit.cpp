// standin_rtvedit: takes RTVEdit's place in tests. Started without arguments, it reads from
// its standard input a first line "T<output path>" and then the text standin_evtdump prints:
//   EVTDUMP standin
//   source <the recording>
//   cut <start> <end>        byte offsets into the recording, <end> excluded
//   END
// It stops reading after the line "END" (taking whatever has already arrived behind it), at
// the end of the input, or when nothing has come for STANDIN_RTVEDIT_IDLE_MS milliseconds
// (default 2000); it never waits for its input to be closed. Then it writes the output file:
// the recording without the cut ranges; and beside it, named like the output with its
// extension (from the last ".") replaced, an index "<output>.ndx" and an event list
// "<output>.evt" holding the cut lines. On standard output it reports
// "RTVEdit standin: wrote <output path> (<bytes> bytes, <cuts> cuts)"; status 0.
// Without a first line "T...", without a readable recording, or when the output cannot be
// written, it prints "rtvedit: <reason>" on standard error and ends with status 1.
//
// Environment:
//   STANDIN_RECORD           appends its arguments there, argv[0] first, one per line, then
//                            the line "stdin:", the input as received (followed by a line feed
//                            when it does not end with one), then the line "----- end -----"
//   STANDIN_RTVEDIT_IDLE_MS  the idle time-out above
//   STANDIN_RTVEDIT_TO_EOF   when set, it reads to the end of its input whatever comes, as a
//                            tool that reads a whole script does

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "StandInSupport.h"

namespace {

struct EditList {
    std::string output;
    std::string recording;
    std::vector<std::pair<long, long>> cuts;
};

bool HasEndLine(const std::string& input) {
    const std::string::size_type firstLineEnd = input.find('\n');
    return firstLineEnd != std::string::npos &&
           input.find("\nEND\n", firstLineEnd) != std::string::npos;
}

std::string ReadInput() {
    const char* idleSetting = std::getenv("STANDIN_RTVEDIT_IDLE_MS");
    const int idle = idleSetting && *idleSetting ? std::atoi(idleSetting) : 2000;
    const bool toEnd = std::getenv("STANDIN_RTVEDIT_TO_EOF") != nullptr;
    std::string input;
    while ((toEnd || !HasEndLine(input)) && ReadStandardInputWithin(&input, toEnd ? -1 : idle)) {
    }
    while (ReadStandardInputWithin(&input, 0)) {
    }
    return input;
}

bool ParseInput(const std::string& input, EditList* edits) {
    std::istringstream lines(input);
    std::string line;
    if (!std::getline(lines, line) || line.empty() || line[0] != 'T') return false;
    edits->output = line.substr(1);
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string keyword;
        words >> keyword;
        long start = 0, end = 0;
        if (keyword == "source") {
            std::getline(words >> std::ws, edits->recording);
        } else if (keyword == "cut" && words >> start >> end) {
            edits->cuts.emplace_back(start, end);
        }
    }
    return true;
}

bool IsCut(const EditList& edits, long offset) {
    return std::any_of(edits.cuts.begin(), edits.cuts.end(), [&](const std::pair<long, long>& cut) {
        return offset >= cut.first && offset < cut.second;
    });
}

std::string WithExtension(const std::string& path, const std::string& extension) {
    const std::string::size_type dot = path.rfind('.');
    return (dot == std::string::npos ? path : path.substr(0, dot)) + extension;
}

int Fail(const std::string& reason) {
    WriteText(stderr, "rtvedit: " + reason + "\n");
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    UseBinaryStandardStreams();
    const std::string input = ReadInput();
    std::string received = "stdin:\n" + input;
    if (input.empty() || input.back() != '\n') received += "\n";
    AppendRecord(argc, argv, received);
    EditList edits;
    if (!ParseInput(input, &edits)) return Fail("expected \"T<output path>\" as the first line");
    std::ifstream in(edits.recording, std::ios::binary);
    if (edits.recording.empty() || !in) {
        return Fail("cannot read recording '" + edits.recording + "'");
    }
    std::ostringstream whole;
    whole << in.rdbuf();
    const std::string recording = whole.str();
    std::string stripped;
    for (long offset = 0; offset < static_cast<long>(recording.size()); ++offset) {
        if (!IsCut(edits, offset)) stripped += recording[static_cast<size_t>(offset)];
    }
    std::ofstream out(edits.output, std::ios::binary | std::ios::trunc);
    if (!(out << stripped)) return Fail("cannot write '" + edits.output + "'");
    out.close();
    std::string cutLines;
    for (const auto& cut : edits.cuts) {
        cutLines += "cut " + std::to_string(cut.first) + " " + std::to_string(cut.second) + "\n";
    }
    std::ofstream(WithExtension(edits.output, ".ndx"), std::ios::binary)
        << "RTVEDIT standin index\nbytes " << stripped.size() << "\n";
    std::ofstream(WithExtension(edits.output, ".evt"), std::ios::binary) << cutLines;
    WriteText(stdout, "RTVEdit standin: wrote " + edits.output + " (" +
                          std::to_string(stripped.size()) + " bytes, " +
                          std::to_string(edits.cuts.size()) + " cuts)\n");
    return 0;
}
