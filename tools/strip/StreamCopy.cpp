#include "StreamCopy.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <locale>
#include <map>
#include <sstream>

namespace {

// Several GOPs of the recorder's (15 frames, half a second), so the listing before a range's
// start holds the keyframe at or before it.
const double kKeyframeSearchSeconds = 2;
// Times in the listing are whole ticks, the range's start three decimals.
const double kTimeSlackSeconds = 0.001;
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

namespace {

struct SPacket {
    bool video = false;
    bool key = false;
    double decode = 0;
    bool presented = false;           // whether the packet carries a presentation time
    long long presentationDelay = 0;  // ticks from decoding to presentation, when it carries one
    double secondsPerTick = 0;
    double start = 0;
    double end = 0;
};

// A packet that is no keyframe shows its flags ("F=0x0") after the checksum.
bool IsKeyframe(const std::vector<std::string>& fields) {
    for (std::size_t i = 6; i < fields.size(); ++i)
        if (fields[i].find("F=") != std::string::npos) return false;
    return true;
}

// The packets of a framecrc listing that carry a decoding time.
std::vector<SPacket> ListedPackets(const std::string& listing) {
    std::map<int, STimeBase> streams;
    std::vector<SPacket> packets;
    std::istringstream lines(listing);
    lines.imbue(std::locale::classic());
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line[0] == '#') {
            ReadHeaderLine(line, &streams);
            continue;
        }
        const std::vector<std::string> fields = Fields(line);
        long long decode = 0, presentation = 0, duration = 0;
        if (fields.size() < 4 || !ReadTicks(fields[1], &decode)) continue;
        const STimeBase& stream = streams[std::atoi(fields[0].c_str())];
        SPacket packet;
        packet.video = stream.video;
        packet.key = IsKeyframe(fields);
        packet.decode = static_cast<double>(decode) * stream.secondsPerTick;
        packet.presented = ReadTicks(fields[2], &presentation);
        if (packet.presented) packet.presentationDelay = presentation - decode;
        packet.secondsPerTick = stream.secondsPerTick;
        packet.start =
            static_cast<double>(packet.presented ? presentation : decode) * stream.secondsPerTick;
        ReadTicks(fields[3], &duration);
        packet.end = packet.start + static_cast<double>(duration) * stream.secondsPerTick;
        packets.push_back(packet);
    }
    return packets;
}

}  // namespace

SSourceStart ReadSourceStart(const std::string& listing) {
    const double none = std::numeric_limits<double>::max();
    double fileStart = none, videoStart = none;
    for (const SPacket& packet : ListedPackets(listing)) {
        if (!packet.presented) continue;
        fileStart = std::min(fileStart, packet.start);
        if (packet.video) videoStart = std::min(videoStart, packet.start);
    }
    SSourceStart start;
    if (videoStart == none) return start;
    start.file = fileStart;
    start.video = videoStart;
    return start;
}

std::vector<std::string> KeyframesCommand(const std::string& ffmpeg, const std::string& source,
                                          const SSourceStart& start, double rangeStart) {
    const double seek = start.video - start.file + rangeStart - kKeyframeSearchSeconds;
    return {ffmpeg, "-nostdin", "-v",   "error", "-ss", Seconds(seek), "-t", "3",        "-copyts",
            "-i",   source,     "-map", "0:v",   "-c",  "copy",        "-f", "framecrc", "-"};
}

SCutStart KeyframeSeek(const std::string& listing, const SSourceStart& start, double rangeStart) {
    const double shownBy = start.video + rangeStart + kTimeSlackSeconds;
    SCutStart cut;
    // A packet shown later than it is decoded holds a keyframe or a forward-predicted frame.
    const SPacket* sought = nullptr;
    for (const SPacket& packet : ListedPackets(listing)) {
        if (!packet.video) continue;
        if (packet.presentationDelay > 0) sought = &packet;
        if (!packet.key || !sought) continue;
        const long long delay = packet.presented ? 0 : sought->presentationDelay;
        // The script's times are no finer than the frames: a keyframe shown within half a
        // frame after the start is the frame at the start.
        const double halfFrame = (packet.end - packet.start) / 2;
        const double shown = packet.start + static_cast<double>(delay) * packet.secondsPerTick;
        if (shown - halfFrame > shownBy) continue;
        cut.seek = sought->decode - (sought->end - sought->start) / 2 - start.file;
        cut.skip = packet.decode - sought->decode;
        cut.presentationDelay = delay;
    }
    return cut.seek < 0 ? SCutStart() : cut;
}

std::vector<std::string> LastPacketsCommand(const std::string& ffmpeg, const std::string& piece) {
    return {ffmpeg,    "-nostdin", "-v",       "error", "-sseof", "-" + std::string(kListedSeconds),
            "-copyts", "-i",       piece,      "-map",  "0",      "-c",
            "copy",    "-f",       "framecrc", "-"};
}

double LastPacketEnd(const std::string& listing) {
    double end = -1;
    for (const SPacket& packet : ListedPackets(listing)) end = std::max(end, packet.end);
    return end;
}

std::vector<std::string> CutCommand(const std::string& ffmpeg, const std::string& source,
                                    const SKeepRange& range, const SSourceStart& start,
                                    const SCutStart& cut, double outputStart,
                                    const std::string& piece) {
    const double seek = cut.seek;
    std::vector<std::string> command = {ffmpeg, "-nostdin", "-v", "error", "-y"};
    if (seek > 0) command.insert(command.end(), {"-ss", Seconds(seek)});
    command.insert(command.end(), {"-i", source, "-map", "0:v?", "-map", "0:a?", "-c", "copy"});
    if (seek > 0) command.insert(command.end(), {"-copypriorss", "0"});
    if (cut.skip > 0) command.insert(command.end(), {"-ss", Seconds(cut.skip)});
    if (!range.toEnd)
        command.insert(command.end(), {"-t", Seconds(start.video - start.file + range.end -
                                                     std::max(0.0, seek) - cut.skip)});
    if (cut.presentationDelay > 0)
        command.insert(command.end(),
                       {"-bsf:v", "setts=pts=if(eq(N\\,0)\\,DTS+" +
                                      std::to_string(cut.presentationDelay) + "\\,PTS)"});
    if (outputStart > 0) command.insert(command.end(), {"-output_ts_offset", Seconds(outputStart)});
    command.insert(command.end(), {"-f", "vob", piece});
    return command;
}

std::vector<std::string> JoinCommand(const std::string& ffmpeg,
                                     const std::vector<std::string>& pieces,
                                     const std::string& output) {
    std::string joined = "concat:";
    for (std::size_t i = 0; i < pieces.size(); ++i) joined += (i ? "|" : "") + pieces[i];
    return {ffmpeg, "-nostdin", "-v", "error", "-y", "-i",  joined,
            "-map", "0",        "-c", "copy",  "-f", "vob", output};
}
