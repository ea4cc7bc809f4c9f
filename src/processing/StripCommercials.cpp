#include "app/PELKARDialog.h"
#include "platform/Platform.h"
#include "processing/ConsoleRunner.h"
#include "processing/QuotedArgument.h"
#include "processing/ToolWait.h"

void CPELKARDialog::StripCommercials(std::string csAction, std::string csMpeg, std::string csSource,
                                     std::string csDest) {
    Log("StripCommercials(): csAction=" + csAction + ", csMpeg=" + csMpeg +
        ", csSource=" + csSource + ", csDest=" + csDest);
    const std::string statusHead = "Action: " + csAction + "\nSource: " + csMpeg;
    ShowStatus(statusHead + "\n\nStatus: Stripping commercials");

    const std::string command =
        evtDumpPath + " " + QuotedArgument(ReplaceExtension(csSource, ".evt"));
    Log("StripCommercials(): Executing command: " + command);
    CConsoleRunner runner;
    runner.Start(command);
    WaitForToolEnd(runner);
    const std::string evtDumpOutput = runner.GetAllOutput();

    runner.Start(rtvEditPath);
    const std::string rtvEditInput = "T" + csDest + "\n" + evtDumpOutput + "\n";
    Log("StripCommercials(): rtvedit command: \n\n" + rtvEditInput);
    runner.WriteInput("%s", rtvEditInput.c_str());
    WaitForToolEnd(runner);
    Log("StripCommercials(): output: " + runner.GetAllOutput());

    ShowStatus(statusHead + "\n\nStatus: Commercials stripped");
    // Leaves the last notification in view for a moment before the conversion's first one.
    SleepMilliseconds(1000);
    Log("StripCommercials(): Completed stripping commercials");
}
