#include "platform/Files.h"
#include "processing/ActionRunner.h"
#include "processing/ConsoleRunner.h"

bool CActionRunner::LogToolEnd(const std::string& stage, const std::string& tool, bool started,
                               const CConsoleRunner& runner) {
    if (!started) {
        Log(stage + "(): " + tool + " could not be started: " + runner.StartError().text + ".");
        return false;
    }
    const SToolExit exit = runner.GetExit();
    Log(stage + "(): " + tool + " " + exit.Describe() + ".");
    return exit.Succeeded();
}

// A device or a folder under the output's name is no output, nor is an empty file or an
// earlier one that this conversion left as it was.
bool CActionRunner::HasOutputFile(const std::string& stage, const std::string& path) {
    const SFileStamp stamp = GetFileStamp(path);
    const bool earlier =
        path == m_output.path && m_output.stamp.isRegularFile && stamp == m_output.stamp;
    if (stamp.isRegularFile && stamp.size > 0 && !earlier) return true;
    Log(stage + "(): No output file " + path + " was written.");
    return false;
}
