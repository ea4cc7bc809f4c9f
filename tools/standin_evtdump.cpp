// standin_evtdump: takes EVTDump's place in tests. Its only argument is a recording's event
// file, which it reads as text. On standard output it prints the text standin_rtvedit expects:
//   EVTDUMP standin
//   source <the recording>
//   cut <start> <end>        one for each line "cut <start> <end>" of the event file
//   END
// The recording is the event file's path with ".evt" replaced by ".mpg", or with ".evt" just
// dropped when only that file exists. Other lines of the event file are ignored; <start> and
// <end> are byte offsets into the recording, <end> excluded. It ends with status 0.
// A missing event file: "evtdump: cannot open event file '<path>'" on standard error, status 1.
// A wrong number of arguments: "usage: evtdump <event file>" on standard error, status 2.
//
// Environment:
//   STANDIN_RECORD       appends its arguments there, argv[0] first, one per line, then the
//                        line "----- end -----"
//   STANDIN_EVTDUMP_MODE "silent": prints nothing at all and ends with status 0

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "StandInSupport.h"

namespace {

bool Exists(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::exists(path, ignored);
}

std::string RecordingOf(const std::string& eventFile) {
    const std::string suffix = ".evt";
    const bool hasSuffix =
        eventFile.size() >= suffix.size() &&
        eventFile.compare(eventFile.size() - suffix.size(), suffix.size(), suffix) == 0;
    const std::string base =
        hasSuffix ? eventFile.substr(0, eventFile.size() - suffix.size()) : eventFile;
    if (!Exists(base + ".mpg") && Exists(base)) return base;
    return base + ".mpg";
}

std::string CutLines(std::istream& events) {
    std::string lines;
    std::string line;
    while (std::getline(events, line)) {
        std::istringstream words(line);
        std::string keyword;
        long start = 0, end = 0;
        if (words >> keyword >> start >> end && keyword == "cut") {
            lines += "cut " + std::to_string(start) + " " + std::to_string(end) + "\n";
        }
    }
    return lines;
}

}  // namespace

int main(int argc, char** argv) {
    UseBinaryStandardStreams();
    AppendRecord(argc, argv);
    const char* mode = std::getenv("STANDIN_EVTDUMP_MODE");
    if (mode && std::string(mode) == "silent") return 0;
    if (argc != 2) {
        WriteText(stderr, "usage: evtdump <event file>\n");
        return 2;
    }
    const std::string eventFile = argv[1];
    std::ifstream events(eventFile);
    if (!events) {
        WriteText(stderr, "evtdump: cannot open event file '" + eventFile + "'\n");
        return 1;
    }
    WriteText(stdout, "EVTDUMP standin\nsource " + RecordingOf(eventFile) + "\n" +
                          CutLines(events) + "END\n");
    return 0;
}
