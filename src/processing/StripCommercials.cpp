#include "processing/ActionRunner.h"
#include "platform/Process.h"
#include "platform/StopRequest.h"
#include "processing/ConsoleRunner.h"
#include "processing/ToolCommands.h"
#include "processing/ToolWait.h"

bool CActionRunner::StripCommercials(std::string csAction, std::string csMpeg, std::string csSource,
                                     std::string csDest) {
    Log("StripCommercials(): csAction=" + csAction + ", csMpeg=" + csMpeg +
        ", csSource=" + csSource + ", csDest=" + csDest);
    const std::string statusHead = "Action: " + csAction + "\nSource: " + csMpeg;
    ShowStatus(statusHead + "\n\nStatus: Stripping commercials");

    CConsoleRunner runner;
    std::string evtDumpOutput;
    const bool stripped = DumpEvents(runner, csSource, &evtDumpOutput) &&
                          EditRecording(runner, csDest, evtDumpOutput) &&
                          HasOutputFile("StripCommercials", csDest);

    if (stripped) {
        ShowStatus(statusHead + "\n\nStatus: Commercials stripped");
    } else {
        ShowStatus(statusHead + "\n\nStatus: Stripping commercials failed");
        Log("StripCommercials(): Stripping commercials failed.");
    }
    // Leaves the last notification in view for a moment before the conversion's first one.
    if (StopRequestSignal() == 0) SleepMilliseconds(1000);
    Log("StripCommercials(): Completed stripping commercials");
    return stripped;
}

// A script cut short by the output's bound, or the messages of a failed EVTDump, would have
// RTVEdit cut the recording in the wrong places, so RTVEdit gets only a whole, good script.
bool CActionRunner::DumpEvents(CConsoleRunner& runner, const std::string& csSource,
                               std::string* evtDumpOutput) {
    const std::string command = EvtDumpCommand(m_tools.evtDumpPath, csSource);
    Log("StripCommercials(): Executing command: " + command);
    const bool started = runner.Start(command);
    WaitForToolEnd(runner);
    *evtDumpOutput = runner.GetAllOutput();
    if (!LogToolEnd("StripCommercials", "EVTDump", started, runner)) return false;
    if (runner.IsOutputCut()) {
        Log("StripCommercials(): EVTDump's output is too long to pass on (" +
            std::to_string(runner.GetAllOutputLength()) + " bytes).");
        return false;
    }
    return true;
}

// RTVEdit may read its script to the end of its input, so the input is closed once written.
bool CActionRunner::EditRecording(CConsoleRunner& runner, const std::string& csDest,
                                  const std::string& evtDumpOutput) {
    const bool started = runner.Start(RtvEditCommand(m_tools.rtvEditPath));
    const std::string rtvEditInput = RtvEditInput(csDest, evtDumpOutput);
    Log("StripCommercials(): rtvedit command: \n\n" + rtvEditInput);
    runner.WriteInput("%s", rtvEditInput.c_str());
    runner.CloseInput();
    WaitForToolEnd(runner);
    Log("StripCommercials(): output: " + runner.GetAllOutput());
    return LogToolEnd("StripCommercials", "RTVEdit", started, runner);
}
