#include "app/PELKARDialog.h"
#include "model/Text.h"
#include "platform/Platform.h"
#include "processing/ConsoleRunner.h"
#include "processing/QuotedArgument.h"
#include "processing/ToolWait.h"
#include "processing/VideoProgress.h"

namespace {

// Between two looks at output that holds no duration yet, so that a transcoder that floods
// its output is not copied out piece by piece.
const unsigned kDurationRescanPauseMilliseconds = 100;

std::string VideoCommand(const std::string& ffmpegPath, const std::string& csSource,
                         const std::string& csDest, int iPass) {
    std::string command = ffmpegPath + " -y -i " + QuotedArgument(csSource);
    if (iPass > 0) command += FormatText(" -pass %d", iPass);
    command += " -bitexact -vcodec xvid -s 320x240 -b 384";
    command += " -minrate 32 -maxrate 400 -bt 16 -r 29.97";
    command += " -acodec aac -ac 2 -ab 48 -ar 24000 -vol 130 -f psp " + QuotedArgument(csDest);
    return command;
}

// Looks for the duration in the output so far, then sleeps until there is more to look at.
// Once the duration is known to be unreadable only the tool's end is awaited.
void AwaitDuration(const CConsoleRunner& runner, CVideoProgress& progress) {
    if (!progress.IsAwaitingDuration()) {
        runner.WaitForEnd(kToolPollMilliseconds);
        return;
    }
    const std::string output = runner.GetAllOutput();
    progress.ReadDuration(output);
    if (progress.IsAwaitingDuration() && runner.WaitForOutput(output.size(), kToolPollMilliseconds))
        runner.WaitForEnd(kDurationRescanPauseMilliseconds);
}

}  // namespace

void CPELKARDialog::ProcessVideo(std::string csAction, std::string csMpeg, std::string csSource,
                                 std::string csDest, int iPass) {
    Log("ProcessVideo(): csAction=" + csAction + ", csMpeg=" + csMpeg + ", csSource=" + csSource +
        ", csDest=" + csDest + ", iPass=" + std::to_string(iPass));
    const std::string command = VideoCommand(ffmpegPath, csSource, csDest, iPass);
    Log("ProcessVideo(): Executing command: " + command);

    CConsoleRunner runner;
    runner.Start(command);
    CVideoProgress progress(csAction, csMpeg, iPass);
    while (runner.IsRunning()) {
        if (!progress.HasTotalFrames()) {
            AwaitDuration(runner, progress);
            continue;
        }
        std::string status;
        if (progress.ReadFrame(runner.GetLastChunk(), ClockMilliseconds(), &status))
            ShowStatus(status);
        runner.WaitForEnd(kToolPollMilliseconds);
    }

    Log("ProcessVideo(): FFMPEG Output:\n\n\n" + runner.GetAllOutput());
    Log("ProcessVideo(): Completed processing video.");
}
