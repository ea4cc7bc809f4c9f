#include <atomic>

#include "processing/ActionRunner.h"
#include "platform/Process.h"
#include "processing/ConsoleRunner.h"
#include "processing/ToolCommands.h"
#include "processing/ToolWait.h"
#include "processing/VideoProgress.h"

namespace {

// How soon the duration phase notices that the duration has arrived.
const unsigned kDurationCheckMilliseconds = 100;

// Reads the source's duration from the transcoder's output as it arrives, on the reader
// thread, so that no output is searched twice and none is kept for the search, however much
// the transcoder prints. Once the duration is settled the reader leaves the progress alone and
// the caller's thread takes it over for the frames; the flag hands it over.
class CVideoRunner : public CConsoleRunner {
public:
    explicit CVideoRunner(CVideoProgress progress) : m_progress(std::move(progress)) {}
    ~CVideoRunner() override { Stop(); }

    void OnChildOutput(const std::string& text) override {
        CConsoleRunner::OnChildOutput(text);
        if (m_durationSettled.load(std::memory_order_relaxed)) return;
        m_progress.ReadDuration(text);
        if (!m_progress.IsAwaitingDuration())
            m_durationSettled.store(true, std::memory_order_release);
    }

    bool HasTotalFrames() const {
        return m_durationSettled.load(std::memory_order_acquire) && m_progress.HasTotalFrames();
    }

    // Only once HasTotalFrames is true.
    bool ReadFrame(long long clockMilliseconds, std::string* statusText) {
        return m_progress.ReadFrame(GetLastChunk(), clockMilliseconds, statusText);
    }

private:
    std::atomic<bool> m_durationSettled{false};
    CVideoProgress m_progress;
};

}  // namespace

bool CActionRunner::ProcessVideo(std::string csAction, std::string csMpeg, std::string csSource,
                                 std::string csDest, int iPass) {
    Log("ProcessVideo(): csAction=" + csAction + ", csMpeg=" + csMpeg + ", csSource=" + csSource +
        ", csDest=" + csDest + ", iPass=" + std::to_string(iPass));
    const std::string command = VideoCommand(m_tools.ffmpegPath, csSource, csDest, iPass);
    Log("ProcessVideo(): Executing command: " + command);

    CVideoRunner runner(CVideoProgress(csAction, csMpeg, iPass));
    const bool started = runner.Start(command);
    while (runner.IsRunning()) {
        if (!runner.HasTotalFrames()) {
            WaitForToolEnd(runner, kDurationCheckMilliseconds);
            continue;
        }
        std::string status;
        if (runner.ReadFrame(ClockMilliseconds(), &status)) ShowStatus(status);
        WaitForToolEnd(runner, kToolPollMilliseconds);
    }

    Log("ProcessVideo(): FFMPEG Output:\n\n\n" + runner.GetAllOutput());
    // The first of two passes writes no output worth checking for.
    const bool converted = LogToolEnd("ProcessVideo", "FFMPEG", started, runner) &&
                           (iPass == 1 || HasOutputFile("ProcessVideo", csDest));
    if (!converted) Log("ProcessVideo(): The video conversion failed.");
    Log("ProcessVideo(): Completed processing video.");
    return converted;
}
