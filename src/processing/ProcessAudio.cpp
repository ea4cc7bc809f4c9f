#include "processing/ActionRunner.h"
#include "processing/ConsoleRunner.h"
#include "processing/ToolCommands.h"
#include "processing/ToolWait.h"

bool CActionRunner::ProcessAudio(std::string csAction, std::string csMpeg, std::string csSource,
                                 std::string csDest) {
    Log("ProcessAudio(): csAction=" + csAction + ", csMpeg=" + csMpeg + ", csSource=" + csSource +
        ", csDest=" + csDest);
    const std::string command = AudioCommand(m_tools.ffmpegPath, csSource, csDest);
    Log("ProcessAudio(): Executing command: " + command);

    CConsoleRunner runner;
    const bool started = runner.Start(command);
    WaitForToolEnd(runner);

    Log("ProcessAudio(): FFMPEG Output:\n\n\n" + runner.GetAllOutput());
    const bool converted = LogToolEnd("ProcessAudio", "FFMPEG", started, runner) &&
                           HasOutputFile("ProcessAudio", csDest);
    if (!converted) Log("ProcessAudio(): The audio conversion failed.");
    Log("ProcessAudio(): Completed processing audio.");
    return converted;
}
