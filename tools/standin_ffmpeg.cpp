// standin_ffmpeg: takes FFMPEG's place in tests. It accepts exactly the two command lines that
// PELKAR writes, and ends with status 1 after "Unrecognized command line" for any other:
//   -y -i SRC -acodec mp3 -ac 2 -ab 48 -ar 24000 -vol 130 DEST                       (audio)
//   -y -i SRC [-pass N] -bitexact -vcodec xvid -s 320x240 -b 384 -minrate 32 -maxrate 400
//       -bt 16 -r 29.97 -acodec aac -ac 2 -ab 48 -ar 24000 -vol 130 -f psp DEST       (video)
//
// Everything it says goes to standard error, as FFMPEG's messages do: a banner; for a missing
// SRC "SRC: No such file or directory" and status 1; an input section with the line
// "  Duration: 00:00:20.00, start: 0.000000, bitrate: 6000 kb/s"; for a DEST that cannot be
// written "DEST: No such file or directory" (or the system's reason) and status 1; progress
// lines ending in "\r": "frame=%5d fps= 30 q=5.0 size=...", or "size=...kB time=..." for
// audio. Every fourth video progress line is written in two pieces, split right after
// "frame=", with 100 ms between them. The frame numbers climb evenly to the duration times
// 29.97 (to 600 when STANDIN_FFMPEG_DURATION is no time). At the end it writes DEST: the line
// "standin_ffmpeg output, pass N" (N is 0 without -pass) followed by SRC's bytes; status 0.
//
// A stream copy ("-c copy", as pelkar-rtvedit asks for) is taken quietly whatever its other
// options: into "-" (a packet listing) it prints a listing of one video packet at time 0; into
// a file it writes the bytes of its input, or of each file of a "concat:A|B" input in turn;
// status 0, or 1 when an input cannot be read.
//
// Environment:
//   STANDIN_RECORD           appends its arguments there, argv[0] first, one per line, then
//                            the line "----- end -----"
//   STANDIN_FFMPEG_MODE      "fail": "Conversion failed!" after the input section, status 1,
//                            no DEST; "hang": waits for a signal after the input section;
//                            "noduration": no Duration line; "na": "  Duration: N/A, start:
//                            0.000000, bitrate: N/A"; "closeout": closes its output after the
//                            input section and writes DEST only STANDIN_FFMPEG_LINGER_MS
//                            (default 1500) later; "flood": no Duration line, then
//                            STANDIN_FFMPEG_FLOOD_MB megabytes of progress-like lines, one
//                            write each, then the normal end; "killed": ends itself with
//                            SIGKILL after the input section; "silent": status 0 and no
//                            DEST; "empty": DEST made empty, status 0; anything else: the
//                            normal run
//   STANDIN_PID_FILE         writes its process id there first
//   STANDIN_FFMPEG_DURATION  the duration shown (default "00:00:20.00")
//   STANDIN_FFMPEG_START     the start offset shown (default "0.000000")
//   STANDIN_FFMPEG_FRAMES    the number of progress lines (default 5)
//   STANDIN_FFMPEG_DELAY_MS  the pause before each progress line (default 0)

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "StandInSupport.h"

namespace {

const double kFramesPerSecond = 29.97;

const std::vector<std::string> kAudioOptions = {"-acodec", "mp3", "-ac",   "2",    "-ab",
                                                "48",      "-ar", "24000", "-vol", "130"};
const std::vector<std::string> kVideoOptions = {
    "-bitexact", "-vcodec", "xvid", "-s",  "320x240", "-b",    "384",     "-minrate", "32",
    "-maxrate",  "400",     "-bt",  "16",  "-r",      "29.97", "-acodec", "aac",      "-ac",
    "2",         "-ab",     "48",   "-ar", "24000",   "-vol",  "130",     "-f",       "psp"};

struct Request {
    std::string source;
    std::string destination;
    int pass = 0;
    bool video = false;
};

std::string Setting(const char* name, const char* fallback) {
    const char* value = std::getenv(name);
    return value && *value ? value : fallback;
}

void Say(const std::string& text) {
    WriteText(stderr, text);
}

void Pause(long milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

bool MatchesFrom(const std::vector<std::string>& arguments, size_t start,
                 const std::vector<std::string>& expected) {
    if (arguments.size() != start + expected.size() + 1) return false;
    for (size_t i = 0; i < expected.size(); ++i) {
        if (arguments[start + i] != expected[i]) return false;
    }
    return true;
}

bool ParseRequest(const std::vector<std::string>& arguments, Request* request) {
    if (arguments.size() < 4 || arguments[0] != "-y" || arguments[1] != "-i") return false;
    request->source = arguments[2];
    request->destination = arguments.back();
    size_t next = 3;
    if (arguments[next] == "-pass" && next + 1 < arguments.size()) {
        request->pass = std::atoi(arguments[next + 1].c_str());
        if (request->pass < 1) return false;
        next += 2;
    }
    request->video = MatchesFrom(arguments, next, kVideoOptions);
    return request->video || (request->pass == 0 && MatchesFrom(arguments, next, kAudioOptions));
}

void PrintBanner() {
    Say("FFmpeg version standin, Copyright (c) 2000-2008 Fabrice Bellard, et al.\n"
        "  configuration: --enable-gpl --enable-libmp3lame --enable-libxvid --enable-libfaac\n"
        "  libavutil version: 49.6.0\n"
        "  libavcodec version: 51.50.0\n"
        "  libavformat version: 52.7.0\n"
        "  built on Jan  1 2008 00:00:00, gcc: 4.2.1\n");
}

bool ReadSource(const std::string& path, std::string* bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream content;
    content << in.rdbuf();
    *bytes = content.str();
    return true;
}

// Frames of the whole source as the duration "HH:MM:SS.ss" gives them; 600 when it is no time.
long TotalFrames(const std::string& duration) {
    int hours = 0, minutes = 0;
    double seconds = 0;
    if (std::sscanf(duration.c_str(), "%d:%d:%lf", &hours, &minutes, &seconds) != 3) return 600;
    return static_cast<long>(((hours * 60 + minutes) * 60 + seconds) * kFramesPerSecond);
}

void PrintInputSection(const std::string& mode, const std::string& source) {
    Say("Input #0, mpeg, from '" + source + "':\n");
    if (mode == "na") {
        Say("  Duration: N/A, start: 0.000000, bitrate: N/A\n");
    } else if (mode != "noduration") {
        Say("  Duration: " + Setting("STANDIN_FFMPEG_DURATION", "00:00:20.00") +
            ", start: " + Setting("STANDIN_FFMPEG_START", "0.000000") + ", bitrate: 6000 kb/s\n");
    }
    Say("  Stream #0.0[0x1e0]: Video: mpeg2video, yuv420p, 720x480, 29.97 fps(r)\n"
        "  Stream #0.1[0x1c0]: Audio: mp2, 48000 Hz, stereo, 192 kb/s\n");
}

void PrintOutputSection(const Request& request) {
    if (request.video) {
        Say("Output #0, psp, to '" + request.destination +
            "':\n"
            "  Stream #0.0: Video: xvid, yuv420p, 320x240, q=2-31, 384 kb/s, 29.97 fps(c)\n"
            "  Stream #0.1: Audio: aac, 24000 Hz, stereo, 48 kb/s\n");
    } else {
        Say("Output #0, mp3, to '" + request.destination +
            "':\n"
            "  Stream #0.0: Audio: mp3, 24000 Hz, stereo, 48 kb/s\n");
    }
    Say("Stream mapping:\n  Stream #0.0 -> #0.0\n  Stream #0.1 -> #0.1\n"
        "Press [q] to stop encoding\n");
}

void PrintProgress(const Request& request, long total) {
    const long lines = std::atol(Setting("STANDIN_FFMPEG_FRAMES", "5").c_str());
    const long delay = std::atol(Setting("STANDIN_FFMPEG_DELAY_MS", "0").c_str());
    for (long line = 1; line <= lines; ++line) {
        Pause(delay);
        const long frame = total * line / lines;
        char text[160];
        if (!request.video) {
            std::snprintf(text, sizeof text, "size=%8ldkB time=%.2f bitrate=  48.0kbits/s\r",
                          frame / 20, frame / kFramesPerSecond);
            Say(text);
            continue;
        }
        std::snprintf(text, sizeof text,
                      "%5ld fps= 30 q=5.0 size=%8ldkB time=%.2f bitrate= 384.0kbits/s\r", frame,
                      frame / 2, frame / kFramesPerSecond);
        if (line % 4 == 0) {
            Say("frame=");
            Pause(100);
            Say(text);
        } else {
            Say(std::string("frame=") + text);
        }
    }
    Say("\n");
}

}  // namespace

// Lines like FFMPEG's progress, but with no frame number and no duration to be found.
void Flood() {
    const long megabytes = std::atol(Setting("STANDIN_FFMPEG_FLOOD_MB", "10").c_str());
    const std::string line =
        "size=   12345kB time=00:01:02.03 bitrate= 384.0kbits/s dup=0 drop=0 speed=1.00x    \r";
    for (long written = 0; written < megabytes * 1024 * 1024;
         written += static_cast<long>(line.size())) {
        Say(line);
    }
}

bool IsStreamCopy(const std::vector<std::string>& arguments) {
    for (size_t i = 0; i + 1 < arguments.size(); ++i) {
        if (arguments[i] == "-c" && arguments[i + 1] == "copy") return true;
    }
    return false;
}

int StreamCopy(const std::vector<std::string>& arguments) {
    std::string input;
    for (size_t i = 0; i + 1 < arguments.size(); ++i) {
        if (arguments[i] == "-i") input = arguments[i + 1];
    }
    const std::string& destination = arguments.back();
    if (destination == "-") {
        WriteText(stdout, "#tb 0: 1/90000\n#media_type 0: video\n0, 0, 0, 3003, 1, 0x00000000\n");
        return 0;
    }
    const std::string prefix = "concat:";
    std::istringstream sources(input.rfind(prefix, 0) == 0 ? input.substr(prefix.size()) : input);
    std::string copy;
    for (std::string source; std::getline(sources, source, '|');) {
        std::string content;
        if (!ReadSource(source, &content)) {
            Say(source + ": No such file or directory\n");
            return 1;
        }
        copy += content;
    }
    std::ofstream(destination, std::ios::binary | std::ios::trunc) << copy;
    return 0;
}

void WritePidFile() {
    const std::string path = Setting("STANDIN_PID_FILE", "");
    if (!path.empty()) std::ofstream(path) << ProcessId() << "\n";
}

int main(int argc, char** argv) {
    UseBinaryStandardStreams();
    WritePidFile();
    AppendRecord(argc, argv);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (IsStreamCopy(arguments)) return StreamCopy(arguments);
    PrintBanner();
    Request request;
    if (!ParseRequest(arguments, &request)) {
        Say("Unrecognized command line\n");
        return 1;
    }
    std::string content;
    if (!ReadSource(request.source, &content)) {
        Say(request.source + ": No such file or directory\n");
        return 1;
    }
    const std::string mode = Setting("STANDIN_FFMPEG_MODE", "normal");
    PrintInputSection(mode == "flood" ? "noduration" : mode, request.source);
    if (mode == "fail") {
        Say("Conversion failed!\n");
        return 1;
    }
    if (mode == "silent") return 0;
    if (mode == "hang") WaitToBeEnded();
    if (mode == "killed") EndByForce();
    if (mode == "closeout") {
        CloseStandardOutputAndError();
        Pause(std::atol(Setting("STANDIN_FFMPEG_LINGER_MS", "1500").c_str()));
    }
    if (mode == "flood") Flood();
    std::ofstream out(request.destination, std::ios::binary | std::ios::trunc);
    if (!out) {
        Say(request.destination + ": " + std::strerror(errno) + "\n");
        return 1;
    }
    if (mode == "empty") return 0;
    PrintOutputSection(request);
    PrintProgress(request, TotalFrames(Setting("STANDIN_FFMPEG_DURATION", "00:00:20.00")));
    out << "standin_ffmpeg output, pass " << request.pass << "\n" << content;
    out.close();
    Say("video:" + std::to_string(content.size() / 1024) + "kB audio:48kB global headers:0kB\n");
    return 0;
}
