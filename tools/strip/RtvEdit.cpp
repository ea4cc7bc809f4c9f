// pelkar-rtvedit: takes RTVEdit's place. Started without arguments, it reads from its standard
// input a line "T<output path>" and then the edit script of pelkar-evtdump up to its end line,
// never waiting for the input to close. It writes the source recording's kept ranges to the
// output by stream copy with ffmpeg (the one the system finds by name, or the one named by
// PELKAR_FFMPEG), under a temporary name in the output's folder that becomes the output only
// when the copy is whole. It never writes to the source. Input it cannot carry out gets a
// one-line reason on standard error and status 1, and no output.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "EditScript.h"
#include "StreamCopy.h"
#include "ffmpeg-frontend/Launch.h"

namespace {

namespace fs = std::filesystem;

const char kName[] = "pelkar-rtvedit: ";
// Room between the end of one piece and the start of the next: a frame of the recorder's, so
// that no two frames of the joined copy fall in one frame's time.
const double kPieceGapSeconds = 0.034;
// How early a cut starts when no keyframe before its range could be listed: a few GOPs.
const double kBlindSeekEarlySeconds = 2;

std::string TranscoderPath() {
    const char* chosen = std::getenv("PELKAR_FFMPEG");
    return chosen && *chosen ? chosen : DefaultTranscoder();
}

int Refuse(const std::string& reason) {
    std::fprintf(stderr, "%s%s\n", kName, reason.c_str());
    return 1;
}

bool IsSameFile(const std::string& a, const std::string& b) {
    std::error_code ignored;
    return fs::weakly_canonical(a, ignored) == fs::weakly_canonical(b, ignored);
}

// The files the copy is written through, removed again unless the copy became the output.
class CopyFiles {
public:
    explicit CopyFiles(const std::string& output) : m_output(output) {}
    ~CopyFiles() {
        std::error_code ignored;
        for (const std::string& piece : m_pieces) fs::remove(piece, ignored);
        fs::remove(Partial(), ignored);
    }
    CopyFiles(const CopyFiles&) = delete;
    CopyFiles& operator=(const CopyFiles&) = delete;

    std::string Partial() const { return m_output + ".partial"; }
    std::string NewPiece() {
        m_pieces.push_back(m_output + ".piece" + std::to_string(m_pieces.size() + 1));
        return m_pieces.back();
    }
    const std::vector<std::string>& Pieces() const { return m_pieces; }
    bool Finish() {
        std::error_code failed;
        fs::rename(Partial(), m_output, failed);
        return !failed;
    }

private:
    std::string m_output;
    std::vector<std::string> m_pieces;
};

// Where the range's cut begins; a seek of 0 for none.
SCutStart CutStartFor(const std::string& ffmpeg, const std::string& source,
                      const SSourceStart& start, const SKeepRange& range) {
    SCutStart cut;
    cut.seek = 0;
    if (range.start <= 0) return cut;
    cut = KeyframeSeek(CaptureStandardOutput(KeyframesCommand(ffmpeg, source, start, range.start)),
                       start, range.start);
    if (cut.seek < 0)
        cut.seek = std::max(0.0, start.video - start.file + range.start - kBlindSeekEarlySeconds);
    return cut;
}

// 0, or the status of the ffmpeg run that failed or was stopped.
int WriteCopy(const std::string& ffmpeg, const SEditRequest& request, const SSourceStart& start,
              CopyFiles* files) {
    const std::vector<SKeepRange>& keep = request.script.keep;
    const std::string& source = request.script.source;
    if (keep.size() == 1)
        return RunTranscoder(CutCommand(ffmpeg, source, keep[0], start,
                                        CutStartFor(ffmpeg, source, start, keep[0]), 0,
                                        files->Partial()));
    double outputStart = 0;
    for (const SKeepRange& range : keep) {
        const int status = RunTranscoder(CutCommand(ffmpeg, source, range, start,
                                                    CutStartFor(ffmpeg, source, start, range),
                                                    outputStart, files->NewPiece()));
        if (status != 0) return status;
        if (!range.toEnd)
            outputStart = LastPacketEnd(CaptureStandardOutput(
                              LastPacketsCommand(ffmpeg, files->Pieces().back()))) +
                          kPieceGapSeconds;
    }
    return RunTranscoder(JoinCommand(ffmpeg, files->Pieces(), files->Partial()));
}

double KeptSeconds(const std::vector<SKeepRange>& keep) {
    double seconds = 0;
    for (const SKeepRange& range : keep) seconds += range.toEnd ? 0 : range.end - range.start;
    return seconds;
}

std::string KeptText(const std::vector<SKeepRange>& keep) {
    const bool toEnd = keep.back().toEnd;
    return std::to_string(keep.size()) + (keep.size() == 1 ? " range, " : " ranges, ") +
           FormatSeconds(KeptSeconds(keep)) + " s" + (toEnd ? " and the rest to the end" : "");
}

}  // namespace

int main() {
    StopWithStarter();
    SEditRequest request;
    std::string reason;
    if (!ReadEditRequest(std::cin, &request, &reason)) return Refuse(reason);
    const std::string& source = request.script.source;
    if (!std::ifstream(source, std::ios::binary)) return Refuse("cannot read the source " + source);
    if (IsSameFile(source, request.output))
        return Refuse("the output " + request.output + " is the source itself");
    const std::string ffmpeg = TranscoderPath();
    const SSourceStart start =
        ReadSourceStart(CaptureStandardOutput(FirstPacketsCommand(ffmpeg, source)));
    if (start.video < 0)
        return Refuse(ffmpeg + " could not be run or found no video in the source " + source);
    std::printf("%skeeping %s of %s\n", kName, KeptText(request.script.keep).c_str(),
                source.c_str());
    std::fflush(stdout);
    CopyFiles files(request.output);
    const int status = WriteCopy(ffmpeg, request, start, &files);
    if (status != 0) {
        std::fprintf(stderr, "%s%s ended with status %d; no output written\n", kName,
                     ffmpeg.c_str(), status);
        return status > 128 ? status : 1;
    }
    if (!files.Finish()) return Refuse("cannot rename the copy to " + request.output);
    std::printf("%swrote %s\n", kName, request.output.c_str());
    return 0;
}
