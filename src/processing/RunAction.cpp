#include "app/PELKARDialog.h"
#include "model/Action.h"
#include "model/DVAFlags.h"
#include "platform/Platform.h"
#include "platform/StopRequest.h"
#include "processing/ToolCommands.h"

namespace {

void RemoveStrippedFiles(const std::string& strippedFile) {
    RemoveFile(CPELKARDialog::ReplaceExtension(strippedFile, ".mpg"));
    RemoveFile(CPELKARDialog::ReplaceExtension(strippedFile, ".ndx"));
    RemoveFile(CPELKARDialog::ReplaceExtension(strippedFile, ".evt"));
}

}  // namespace

bool CPELKARDialog::RunAction(const CAction& action, const CDVAFlags& recording) {
    const std::string csMpeg = recording.GetMpeg();
    bool succeeded = false;
    if (IsExistingFile(csMpeg)) {
        succeeded = ConvertRecording(action, recording);
    } else {
        Log("RunAction(): The recording " + csMpeg + " does not exist or is a folder.");
    }
    if (StopRequestSignal() != 0) {
        Log(FormatStopLine());
        succeeded = false;
    }
    Log(succeeded ? "RunAction(): Action succeeded." : "RunAction(): Action failed.");
    return succeeded;
}

bool CPELKARDialog::ConvertRecording(const CAction& action, const CDVAFlags& recording) {
    const std::string csAction = action.GetName();
    const std::string csMpeg = recording.GetMpeg();
    std::string source = csMpeg;

    std::string strippedFile;
    if (action.GetStripCommercials()) {
        std::string tempName;
        if (MakeTempFileName(tempPath, "mst", &tempName)) {
            // Only the unique name is wanted; the tools create the files themselves.
            RemoveFile(tempName);
            strippedFile = ReplaceExtension(tempName, ".mpg");
            const bool stripped = StripCommercials(csAction, csMpeg, source, strippedFile);
            source = strippedFile;
            if (!stripped) {
                RemoveStrippedFiles(strippedFile);
                return false;
            }
        } else {
            Log("RunAction(): No temporary file name could be made in " + tempPath +
                ", converting without stripping commercials");
        }
    }

    const bool converted = Convert(action, recording, source);
    if (!strippedFile.empty()) RemoveStrippedFiles(strippedFile);
    return converted;
}

// A conversion stopped from outside leaves a file that only looks finished; it goes.
bool CPELKARDialog::Convert(const CAction& action, const CDVAFlags& recording,
                            const std::string& source) {
    const std::string csAction = action.GetName();
    const std::string csMpeg = recording.GetMpeg();
    const std::string csDest = ActionDestination(action, recording);
    if (StopRequestSignal() != 0) return false;
    const std::vector<int> passes = VideoPasses(action);
    bool converted = true;
    if (passes.empty()) converted = ProcessAudio(csAction, csMpeg, source, csDest);
    for (const int iPass : passes) {
        if (!converted) {
            if (StopRequestSignal() == 0)
                Log("RunAction(): Pass 1 failed, so pass 2 was not started.");
            break;
        }
        converted = ProcessVideo(csAction, csMpeg, source, csDest, iPass);
    }
    if (StopRequestSignal() != 0 && IsExistingFile(csDest) && RemoveFile(csDest)) {
        Log("RunAction(): Removed the unfinished output " + csDest);
    }
    return converted;
}

std::string CPELKARDialog::FormatStopLine() {
    return "RunAction(): Stopped by signal " + std::to_string(StopRequestSignal()) + ".";
}

// Only the file name's own extension is replaced: a "." in a folder's name never cuts.
std::string CPELKARDialog::ReplaceExtension(std::string path, std::string extension) {
    std::string::size_type nameStart = path.size();
    while (nameStart > 0 && !IsPathSeparator(path[nameStart - 1])) --nameStart;
    const std::string::size_type dot = path.rfind('.');
    if (dot != std::string::npos && dot >= nameStart) path.erase(dot);
    return path + extension;
}
