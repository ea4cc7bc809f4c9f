// pelkar-ffmpeg: lets today's ffmpeg run the classic FFMPEG command lines that PELKAR writes,
// and is PELKAR's default FFMPEG. It translates the arguments, runs the installed ffmpeg with
// this program's own standard streams, so that its output reaches PELKAR unchanged, waits for
// it, and ends with its status. A finished two-pass job leaves no pass log behind, and the
// transcoder never outlives the front end.
// The ffmpeg run is the one the system finds by name, or the one named by PELKAR_FFMPEG.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "FfmpegArguments.h"
#include "Launch.h"
#include "PassLog.h"

namespace {

std::string TranscoderPath() {
    const char* chosen = std::getenv("PELKAR_FFMPEG");
    return chosen && *chosen ? chosen : DefaultTranscoder();
}

// Asks the transcoder for its encoders the first time a question comes up, never again.
class EncoderList {
public:
    explicit EncoderList(std::string transcoder) : m_transcoder(std::move(transcoder)) {}

    bool Has(const std::string& encoder) {
        if (!m_asked) {
            m_names = ParseEncoderNames(
                CaptureStandardOutput({m_transcoder, "-hide_banner", "-encoders"}));
            m_asked = true;
        }
        for (const std::string& name : m_names) {
            if (name == encoder) return true;
        }
        return false;
    }

private:
    std::string m_transcoder;
    bool m_asked = false;
    std::vector<std::string> m_names;
};

}  // namespace

// The front end's own version first, then the transcoder's, which is what decides what works.
int ShowVersion(const std::string& transcoder) {
    std::printf("PELKAR %s\n", PELKAR_VERSION_TEXT);
    std::fflush(stdout);
    return RunTranscoder({transcoder, "-version"});
}

int main(int argc, char** argv) {
    StopWithStarter();
    const std::string transcoder = TranscoderPath();
    if (argc == 2 && std::string(argv[1]) == "--version") return ShowVersion(transcoder);
    EncoderList encoders(transcoder);
    std::vector<std::string> arguments = TranslateArguments(
        std::vector<std::string>(argv + 1, argv + argc),
        [&encoders](const std::string& encoder) { return encoders.Has(encoder); },
        TemporaryDirectory(), ParentProcessId());
    const SPassLog passLog = FindPassLog(arguments);
    arguments.insert(arguments.begin(), transcoder);
    const int status = RunTranscoder(arguments);
    if (PassLogIsDone(passLog, status)) RemovePassLog(passLog);
    return status;
}
