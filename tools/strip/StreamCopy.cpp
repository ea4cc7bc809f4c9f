#include "StreamCopy.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <locale>
#include <map>
#include <sstream>

namespace {

// More than a GOP of the recorder's (15 frames, half a second), so the I-frame at or before
// a range's start is in the piece.
const double kSeekEarlySeconds = 0.5;
const char kListedSeconds[] = "5";

struct STimeBase {
    double secondsPerTick = 0;
    bool video = false;
};

// "#tb 0: 1/90000" and "#media_type 0: video".
void ReadHeaderLine(const std::string& line, std::map<int, STimeBase>* streams) {
    std::istringstream words(line);
    std::string key, index;
    words >> key >> index;
    const int stream = std::atoi(index.c_str());
    if (key == "#tb") {
        double numerator = 0, denominator = 0;
        char slash = 0;
        if (words >> numerator >> slash >> denominator && denominator > 0)
            (*streams)[stream].secondsPerTick = numerator / denominator;
    } else if (key == "#media_type") {
        std::string kind;
        words >> kind;
        (*streams)[stream].video = kind == "video";
    }
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, ',');) fields.push_back(field);
    return fields;
}

// A packet without a time shows as a value far below any real one.
bool ReadTicks(const std::string& text, long long* ticks) {
    std::istringstream in(text);
    return static_cast<bool>(in >> *ticks) && *ticks > std::numeric_limits<long long>::min() / 2;
}

std::string Seconds(double seconds) {
    return FormatSeconds(std::max(0.0, seconds));
}

}  // namespace

std::vector<std::string> FirstPacketsCommand(const std::string& ffmpeg, const std::string& source) {
    return {ffmpeg, "-nostdin", "-v", "error", "-t",   kListedSeconds, "-copyts",  "-i",
            source, "-map",     "0",  "-c",    "copy", "-f",           "framecrc", "-"};
}

double FirstVideoOffset(const std::string& listing) {
    std::map<int, STimeBase> streams;
    const double none = std::numeric_limits<double>::max();
    double fileStart = none, videoStart = none;
    std::istringstream lines(listing);
    lines.imbue(std::locale::classic());
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line[0] == '#') {
            ReadHeaderLine(line, &streams);
            continue;
        }
        const std::vector<std::string> fields = Fields(line);
        long long presentation = 0;
        if (fields.size() < 3 || !ReadTicks(fields[2], &presentation)) continue;
        const STimeBase& stream = streams[std::atoi(fields[0].c_str())];
        const double seconds = static_cast<double>(presentation) * stream.secondsPerTick;
        fileStart = std::min(fileStart, seconds);
        if (stream.video) videoStart = std::min(videoStart, seconds);
    }
    return videoStart == none ? -1 : videoStart - fileStart;
}

std::vector<std::string> CutCommand(const std::string& ffmpeg, const std::string& source,
                                    const SKeepRange& range, double videoOffset,
                                    const std::string& piece) {
    const double seek = range.start > 0 ? videoOffset + range.start - kSeekEarlySeconds : 0;
    std::vector<std::string> command = {ffmpeg, "-nostdin", "-v", "error", "-y"};
    if (seek > 0) command.insert(command.end(), {"-ss", Seconds(seek)});
    command.insert(command.end(), {"-i", source, "-map", "0:v?", "-map", "0:a?", "-c", "copy"});
    if (seek > 0) command.insert(command.end(), {"-copypriorss", "0"});
    if (!range.toEnd)
        command.insert(command.end(),
                       {"-t", Seconds(videoOffset + range.end - std::max(seek, 0.0))});
    command.insert(command.end(), {"-f", "vob", piece});
    return command;
}

std::vector<std::string> JoinCommand(const std::string& ffmpeg,
                                     const std::vector<std::string>& pieces,
                                     const std::string& output) {
    std::string joined = "concat:";
    for (std::size_t i = 0; i < pieces.size(); ++i) joined += (i ? "|" : "") + pieces[i];
    // A piece that begins with B-frames of the GOP before its I-frame repeats the times at the
    // end of the piece before; ignoring the pieces' decoding times lets the join renumber them.
    return {ffmpeg, "-nostdin", "-v", "error", "-y",   "-fflags", "+igndts", "-i",
            joined, "-map",     "0",  "-c",    "copy", "-f",      "vob",     output};
}
