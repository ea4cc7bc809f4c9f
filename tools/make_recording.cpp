// make_recording: makes a recording with known commercial breaks for the stripping tools'
// tests, benchmark and sample run: an MPEG-2 program stream (29.97 fps, MPEG audio) made with
// ffmpeg (PELKAR_FFMPEG or "ffmpeg"), and the event file the recorder would write beside it.
//
//   make_recording OUTPUT.mpg WIDTHxHEIGHT EVENTS PIECE...
//
// EVENTS is "little" or "big" (the event file's byte order) or "none" (no event file). The
// pieces follow one another:
//   show:S         S seconds of show (a test picture and a tone)
//   break:L1,L2..  a commercial break: spots of L1, L2... seconds, each beginning with 0.4 s
//                  of black and silence, and 0.4 s more of both after the last
//   fade:S         S seconds of black picture while the sound goes on
//   quietfade:S    S seconds of black picture and silence inside the show
// Every length is rounded to whole frames. On standard output it prints one line
// "commercial START END" per break and a last line "length SECONDS", in seconds from the
// first frame. Status 0, or 1 with a reason on standard error.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "strip/EventFile.h"

namespace {

const double kFrameSeconds = 1001.0 / 30000;
const double kAudioRate = 48000;
const double kAudioRecordSeconds = 0.024;
const double kGapSeconds = 0.4;
const std::uint32_t kBlackLevel = 0x101010;
const std::uint32_t kSilentPower = 40;

enum class EPicture { Show, Spot, Black };
enum class ESound { Show, Spot, Silent };

struct SSegment {
    long frames = 0;
    EPicture picture = EPicture::Show;
    ESound sound = ESound::Show;
    int spotNumber = 0;
    // The break the segment belongs to, counted from 1; 0 in the show.
    int breakNumber = 0;
};

long Frames(double seconds) {
    return std::lround(seconds / kFrameSeconds);
}

bool AddBreak(const std::string& lengths, std::vector<SSegment>* segments) {
    int breakNumber = 1;
    for (const SSegment& segment : *segments)
        breakNumber = std::max(breakNumber, segment.breakNumber + 1);
    std::istringstream list(lengths);
    int number = 0;
    for (std::string length; std::getline(list, length, ',');) {
        const double seconds = std::atof(length.c_str());
        if (seconds <= kGapSeconds) return false;
        segments->push_back({Frames(kGapSeconds), EPicture::Black, ESound::Silent, 0, breakNumber});
        segments->push_back({Frames(seconds) - Frames(kGapSeconds), EPicture::Spot, ESound::Spot,
                             ++number, breakNumber});
    }
    segments->push_back({Frames(kGapSeconds), EPicture::Black, ESound::Silent, 0, breakNumber});
    return number > 0;
}

bool AddPiece(const std::string& piece, std::vector<SSegment>* segments) {
    const std::string::size_type colon = piece.find(':');
    if (colon == std::string::npos) return false;
    const std::string kind = piece.substr(0, colon), value = piece.substr(colon + 1);
    if (kind == "break") return AddBreak(value, segments);
    const long frames = Frames(std::atof(value.c_str()));
    if (frames <= 0) return false;
    if (kind == "show")
        segments->push_back({frames, EPicture::Show, ESound::Show, 0});
    else if (kind == "fade")
        segments->push_back({frames, EPicture::Black, ESound::Show, 0});
    else if (kind == "quietfade")
        segments->push_back({frames, EPicture::Black, ESound::Silent, 0});
    else
        return false;
    return true;
}

std::string PictureSource(const SSegment& segment, const std::string& size) {
    const std::string common = "s=" + size + ":r=30000/1001";
    switch (segment.picture) {
        case EPicture::Show:
            return "testsrc2=" + common;
        case EPicture::Black:
            return "color=c=black:" + common;
        case EPicture::Spot:
            break;
    }
    return (segment.spotNumber % 2 ? "smptebars=" : "rgbtestsrc=") + common;
}

std::string SoundSource(const SSegment& segment) {
    switch (segment.sound) {
        case ESound::Show:
            return "sine=f=440:sample_rate=48000";
        case ESound::Silent:
            return "anullsrc=r=48000:cl=mono";
        case ESound::Spot:
            break;
    }
    return "sine=f=" + std::to_string(600 + 100 * segment.spotNumber) + ":sample_rate=48000";
}

long Samples(long frames) {
    return std::lround(static_cast<double>(frames) * kFrameSeconds * kAudioRate);
}

// Each segment's picture and sound cut to its frames, all joined into one program.
std::string FilterGraph(const std::vector<SSegment>& segments, const std::string& size) {
    std::string graph, inputs;
    long frame = 0;
    for (std::size_t i = 0; i < segments.size(); ++i) {
        const SSegment& segment = segments[i];
        const std::string n = std::to_string(i);
        const long samples = Samples(frame + segment.frames) - Samples(frame);
        frame += segment.frames;
        graph += PictureSource(segment, size) +
                 ",trim=end_frame=" + std::to_string(segment.frames) + ",setpts=PTS-STARTPTS[v" +
                 n + "];" + SoundSource(segment) + ",atrim=end_sample=" + std::to_string(samples) +
                 ",asetpts=PTS-STARTPTS[a" + n + "];";
        inputs += "[v" + n + "][a" + n + "]";
    }
    return graph + inputs + "concat=n=" + std::to_string(segments.size()) +
           ":v=1:a=1[v][joined];[joined]asetnsamples=n=1152:p=1[a]";
}

// A record tells of the interval that ends at its time.
void AddRecords(double start, double end, double step, EEventKind kind, std::uint32_t level,
                std::vector<SEventRecord>* records) {
    for (double time = start + step; time < end + 1e-9; time += step)
        records->push_back({time, kind, level});
}

std::vector<SEventRecord> EventRecords(const std::vector<SSegment>& segments) {
    std::vector<SEventRecord> video, audio, records;
    double start = 0;
    for (const SSegment& segment : segments) {
        const double end = start + static_cast<double>(segment.frames) * kFrameSeconds;
        if (segment.picture == EPicture::Black)
            AddRecords(start, end, kFrameSeconds, EEventKind::Video, kBlackLevel, &video);
        if (segment.sound == ESound::Silent)
            AddRecords(start, end, kAudioRecordSeconds, EEventKind::Audio, kSilentPower, &audio);
        start = end;
    }
    std::size_t v = 0, a = 0;
    while (v < video.size() || a < audio.size()) {
        const bool takeVideo =
            a == audio.size() || (v < video.size() && video[v].seconds <= audio[a].seconds);
        records.push_back(takeVideo ? video[v++] : audio[a++]);
    }
    return records;
}

// The breaks as they lie in the recording, and its length.
std::string Truth(const std::vector<SSegment>& segments) {
    std::string truth;
    double time = 0, breakStart = 0;
    char line[80];
    for (std::size_t i = 0; i < segments.size(); ++i) {
        const int number = segments[i].breakNumber;
        if (number != 0 && (i == 0 || segments[i - 1].breakNumber != number)) breakStart = time;
        time += static_cast<double>(segments[i].frames) * kFrameSeconds;
        if (number != 0 && (i + 1 == segments.size() || segments[i + 1].breakNumber != number)) {
            std::snprintf(line, sizeof line, "commercial %.3f %.3f\n", breakStart, time);
            truth += line;
        }
    }
    std::snprintf(line, sizeof line, "length %.3f\n", time);
    return truth + line;
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

int Fail(const std::string& reason) {
    std::fprintf(stderr, "make_recording: %s\n", reason.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5)
        return Fail("usage: make_recording OUTPUT.mpg WIDTHxHEIGHT little|big|none PIECE...");
    const std::string output = argv[1], size = argv[2], events = argv[3];
    std::vector<SSegment> segments;
    for (int i = 4; i < argc; ++i) {
        if (!AddPiece(argv[i], &segments))
            return Fail(std::string("cannot read the piece ") + argv[i]);
    }
    const char* chosen = std::getenv("PELKAR_FFMPEG");
    const std::string ffmpeg = chosen && *chosen ? chosen : "ffmpeg";
    const std::string command =
        Quoted(ffmpeg) + " -nostdin -v error -y -filter_complex " +
        Quoted(FilterGraph(segments, size)) +
        " -map [v] -map [a] -c:v mpeg2video -b:v 3M -maxrate 6M -bufsize 1835k -g 15 -bf 2"
        " -c:a mp2 -b:a 192k -ac 2 -f vob " +
        Quoted(output);
    if (std::system(command.c_str()) != 0) return Fail("ffmpeg could not make " + output);
    if (events != "none") {
        const std::string eventFile = output.substr(0, output.rfind('.')) + ".evt";
        std::ofstream(eventFile, std::ios::binary)
            << EncodeEventFile(EventRecords(segments), events == "big");
    }
    std::fputs(Truth(segments).c_str(), stdout);
    return 0;
}
