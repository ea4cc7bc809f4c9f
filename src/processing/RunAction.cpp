#include <cstring>

#include "app/PELKARDialog.h"
#include "model/Action.h"
#include "model/DVAFlags.h"
#include "platform/Platform.h"
#include "platform/StopRequest.h"
#include "platform/TempFileLock.h"
#include "processing/ToolCommands.h"

namespace {

const char* const kTempPrefix = "mst";
// RTVEdit writes the stripped recording with its index and event files.
const std::vector<std::string> kStrippedExtensions = {".mpg", ".ndx", ".evt"};
// How often a temporary name is made anew when another run's clean-up took it at once.
const int kTempNameAttempts = 3;

void LogFileThatStays(CPELKARDialog& dialog, const std::string& path, const std::string& error) {
    dialog.Log("RunAction(): The file " + path + " could not be removed: " + error);
}

void RemoveOrLog(CPELKARDialog& dialog, const std::string& path) {
    std::string error;
    if (!RemoveFile(path, &error)) LogFileThatStays(dialog, path, error);
}

// The stripped files go first and the held name last: while the name is held, no other run's
// clean-up touches the files named like it.
void RemoveStrippedFiles(CPELKARDialog& dialog, CTempFileLock& tempLock,
                         const std::string& tempName) {
    for (const std::string& extension : kStrippedExtensions)
        RemoveOrLog(dialog, CPELKARDialog::ReplaceExtension(tempName, extension));
    tempLock.Unlock();
    RemoveOrLog(dialog, tempName);
}

// Stripped copies of runs that were killed before they could remove them.
void RemoveAbandonedStrippedFiles(CPELKARDialog& dialog, const std::string& tempPath) {
    for (const SLeftFile& file :
         RemoveAbandonedTempFiles(tempPath, kTempPrefix, kStrippedExtensions)) {
        if (file.error.empty()) {
            dialog.Log("RunAction(): Removed the abandoned temporary file " + file.path);
        } else {
            LogFileThatStays(dialog, file.path, file.error);
        }
    }
}

// The run holds its temporary name while it works, so that no other run takes its files for
// abandoned ones.
bool MakeHeldTempName(const std::string& tempPath, CTempFileLock& tempLock, std::string* name) {
    for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
        if (!MakeTempFileName(tempPath, kTempPrefix, name)) return false;
        if (tempLock.Lock(*name)) return true;
        RemoveFile(*name);
    }
    return false;
}

bool MakeMissingFolder(CPELKARDialog& dialog, const std::string& folder) {
    if (IsExistingFolder(folder)) return true;
    std::string error;
    if (MakeFolder(folder, &error)) {
        dialog.Log("RunAction(): Made the folder " + folder);
        return true;
    }
    // Another run may have made it meanwhile.
    if (IsExistingFolder(folder)) return true;
    dialog.Log("RunAction(): The folder " + folder + " could not be made: " + error);
    return false;
}

// The folders the filename template puts below the output directory. The output directory
// itself is the user's choice and is never made, and nothing is made past a "..", which would
// lead out of it.
bool MakeOutputFolders(CPELKARDialog& dialog, const std::string& outputDirectory,
                       const std::string& destination) {
    std::string::size_type partStart = outputDirectory.size() + std::strlen(PathSeparator());
    for (std::string::size_type i = partStart; i < destination.size(); ++i) {
        if (!IsPathSeparator(destination[i])) continue;
        const std::string part = destination.substr(partStart, i - partStart);
        partStart = i + 1;
        if (part == "..") return true;
        if (part.empty() || part == ".") continue;
        if (!MakeMissingFolder(dialog, destination.substr(0, i))) return false;
    }
    return true;
}

// What the conversion wrote only looks finished. A file it never touched, such as an earlier
// run's result, stays.
void RemoveUnfinishedOutput(CPELKARDialog& dialog, const std::string& destination,
                            const SFileStamp& before) {
    const SFileStamp after = GetFileStamp(destination);
    if (!after.isRegularFile || after == before) return;
    std::string error;
    if (RemoveFile(destination, &error)) {
        dialog.Log("RunAction(): Removed the unfinished output " + destination);
    } else {
        LogFileThatStays(dialog, destination, error);
    }
}

}  // namespace

bool CPELKARDialog::RunAction(const CAction& action, const CDVAFlags& recording) {
    const std::string csMpeg = recording.GetMpeg();
    bool succeeded = false;
    RemoveAbandonedStrippedFiles(*this, tempPath);
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

    std::string tempName;
    CTempFileLock tempLock;
    if (action.GetStripCommercials()) {
        if (MakeHeldTempName(tempPath, tempLock, &tempName)) {
            const std::string strippedFile = ReplaceExtension(tempName, ".mpg");
            const bool stripped = StripCommercials(csAction, csMpeg, source, strippedFile);
            source = strippedFile;
            if (!stripped) {
                RemoveStrippedFiles(*this, tempLock, tempName);
                return false;
            }
        } else {
            tempName.clear();
            Log("RunAction(): No temporary file name could be made in " + tempPath +
                ", converting without stripping commercials");
        }
    }

    const bool converted = Convert(action, recording, source);
    if (!tempName.empty()) RemoveStrippedFiles(*this, tempLock, tempName);
    return converted;
}

// A conversion that failed or was stopped from outside leaves a file that only looks
// finished; it goes.
bool CPELKARDialog::Convert(const CAction& action, const CDVAFlags& recording,
                            const std::string& source) {
    const std::string csAction = action.GetName();
    const std::string csMpeg = recording.GetMpeg();
    const std::string csDest = ActionDestination(action, recording);
    if (StopRequestSignal() != 0) return false;
    if (!MakeOutputFolders(*this, action.GetOutputDirectory(), csDest)) return false;
    const SFileStamp before = GetFileStamp(csDest);
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
    if (!converted || StopRequestSignal() != 0) RemoveUnfinishedOutput(*this, csDest, before);
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
