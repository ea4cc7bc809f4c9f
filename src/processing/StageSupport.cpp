#include "platform/Platform.h"
#include "processing/ActionRunner.h"
#include "processing/ConsoleRunner.h"

bool CActionRunner::LogToolEnd(const std::string& stage, const std::string& tool, bool started,
                               const CConsoleRunner& runner) {
    if (!started) {
        Log(stage + "(): " + tool + " could not be started.");
        return false;
    }
    const SToolExit exit = runner.GetExit();
    Log(stage + "(): " + tool + " " + exit.Describe() + ".");
    return exit.Succeeded();
}

// A device or a folder under the output's name is no output.
bool CActionRunner::HasOutputFile(const std::string& stage, const std::string& path) {
    if (GetFileStamp(path).isRegularFile) return true;
    Log(stage + "(): No output file " + path + " was written.");
    return false;
}
