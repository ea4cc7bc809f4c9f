#include "ComskipRun.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "Comskip.h"
#include "EditScript.h"
#include "ffmpeg-frontend/Launch.h"

namespace {

namespace fs = std::filesystem;

// comskip misjudges shorter recordings.
const double kShortestRecordingSeconds = 5 * 60;
const int kNotStarted = 127;

std::string ComskipPath() {
    const char* chosen = std::getenv("PELKAR_COMSKIP");
    return chosen && *chosen ? chosen : "comskip";
}

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class ScratchFolder {
public:
    ScratchFolder() {
        std::random_device random;
        for (int attempt = 0; attempt < 100 && m_path.empty(); ++attempt) {
            const fs::path candidate =
                fs::path(TemporaryDirectory()) / ("pelkar-evtdump-" + std::to_string(random()));
            std::error_code failed;
            if (fs::create_directory(candidate, failed)) m_path = candidate;
        }
    }
    ~ScratchFolder() {
        std::error_code ignored;
        if (!m_path.empty()) fs::remove_all(m_path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const fs::path& Path() const { return m_path; }

private:
    fs::path m_path;
};

SComskipResult Note(const std::string& note) {
    SComskipResult result;
    result.note = note;
    return result;
}

// comskip's breaks, each cut back past the fades in the show it took in.
void AddBreaks(const fs::path& base, SComskipResult* result) {
    const std::vector<SSpan> moments =
        ParseQuietBlackStretches(ReadText(fs::path(base).concat(".csv")));
    for (const SSpan& found : ParseEdl(ReadText(fs::path(base).concat(".edl")))) {
        const STrimmedBreak trimmed = TrimLoneFades(found, moments);
        result->breaks.push_back(trimmed.span);
        result->loneFades.insert(result->loneFades.end(), trimmed.loneFades.begin(),
                                 trimmed.loneFades.end());
    }
}

// comskip names its results after the recording.
SComskipResult ReadResults(const fs::path& folder, const std::string& recording, int status) {
    const fs::path base = folder / fs::path(recording).stem();
    const double seconds = CutListSeconds(ReadText(fs::path(base).concat(".txt")));
    if (seconds < 0) return Note("comskip left no cut list");
    if (seconds < kShortestRecordingSeconds)
        return Note("the recording is " + FormatSeconds(seconds) +
                    " s long, too short for comskip to judge");
    SComskipResult result;
    result.used = true;
    if (status != kComskipFoundNone) AddBreaks(base, &result);
    result.note = "comskip (black frames and silence) found " +
                  std::to_string(result.breaks.size()) + " breaks in " + FormatSeconds(seconds) +
                  " s";
    return result;
}

}  // namespace

SComskipResult DetectWithComskip(const std::string& recording) {
    std::error_code ignored;
    if (!fs::is_regular_file(recording, ignored))
        return Note("there is no recording " + recording + " for comskip");
    ScratchFolder scratch;
    if (scratch.Path().empty()) return Note("no scratch folder for comskip could be made");
    const fs::path settings = scratch.Path() / "comskip.ini";
    std::ofstream(settings, std::ios::binary) << ComskipSettings();
    const std::string comskip = ComskipPath();
    const int status =
        RunQuietly(ComskipCommand(comskip, settings.string(), scratch.Path().string(), recording));
    if (StopSignal() != 0) {
        SComskipResult stopped = Note("stopped while comskip ran");
        stopped.stopStatus = 128 + StopSignal();
        return stopped;
    }
    if (status == kNotStarted)
        return Note(comskip + " could not be started (is comskip installed?)");
    if (status != 0 && status != kComskipFoundNone)
        return Note(comskip + " failed with status " + std::to_string(status));
    return ReadResults(scratch.Path(), recording, status);
}
