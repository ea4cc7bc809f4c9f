#include "app/PELKARDialog.h"
#include "processing/ConsoleRunner.h"
#include "processing/QuotedArgument.h"
#include "processing/ToolWait.h"

void CPELKARDialog::ProcessAudio(std::string csAction, std::string csMpeg, std::string csSource,
                                 std::string csDest) {
    Log("ProcessAudio(): csAction=" + csAction + ", csMpeg=" + csMpeg + ", csSource=" + csSource +
        ", csDest=" + csDest);
    const std::string command = ffmpegPath + " -y -i " + QuotedArgument(csSource) +
                                " -acodec mp3 -ac 2 -ab 48 -ar 24000 -vol 130 " +
                                QuotedArgument(csDest);
    Log("ProcessAudio(): Executing command: " + command);

    CConsoleRunner runner;
    runner.Start(command);
    WaitForToolEnd(runner);

    Log("ProcessAudio(): FFMPEG Output:\n\n\n" + runner.GetAllOutput());
    Log("ProcessAudio(): Completed processing audio.");
}
