#include "app/PELKARDialog.h"
#include "platform/Platform.h"
#include "processing/ConsoleRunner.h"

// An empty path would make the first word of the rest of the command line the program.
bool CPELKARDialog::HasToolPath(const std::string& stage, const std::string& tool,
                                const std::string& path) {
    if (!path.empty()) return true;
    Log(stage + "(): The " + tool + " path is empty, so " + tool + " was not started.");
    return false;
}

bool CPELKARDialog::LogToolEnd(const std::string& stage, const std::string& tool, bool started,
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
bool CPELKARDialog::HasOutputFile(const std::string& stage, const std::string& path) {
    if (GetFileStamp(path).isRegularFile) return true;
    Log(stage + "(): No output file " + path + " was written.");
    return false;
}
