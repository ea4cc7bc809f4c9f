#include "model/Action.h"
#include "model/DVAFlags.h"
#include "platform/FileIdentity.h"
#include "platform/OutputClaim.h"
#include "platform/Files.h"
#include "platform/StopRequest.h"
#include "platform/TempFileLock.h"
#include "processing/AbandonedTempFiles.h"
#include "processing/ActionRunner.h"
#include "processing/ReplaceExtension.h"

namespace {

// RTVEdit writes the stripped recording with its index and event files.
const std::vector<std::string> kStrippedExtensions = {".mpg", ".ndx", ".evt"};
// How often a temporary name is made anew when another run's clean-up took it at once.
const int kTempNameAttempts = 3;

}  // namespace

CActionRunner::CActionRunner(SToolSettings settings, CRunSink& sink)
    : m_tools(std::move(settings)), m_sink(sink) {}

bool CActionRunner::RunAction(const CAction& action, const CDVAFlags& recording) {
    RemoveAbandonedStrippedFiles();
    const SActionPlan plan = PlanAction(action, recording, m_tools);
    for (const std::string& note : plan.notes) Log("RunAction(): " + note);
    for (const SRefusal& refusal : plan.refusals) Log(refusal.logLine);
    const bool converted = plan.refusals.empty() && CarryOut(plan);
    bool succeeded = converted;
    if (StopRequestSignal() != 0) {
        // The stop came after the conversion had ended well, while the run cleaned up.
        if (converted) Log("RunAction(): The output " + plan.destination + " is complete.");
        Log(FormatStopLine());
        succeeded = false;
    }
    Log(succeeded ? "RunAction(): Action succeeded." : "RunAction(): Action failed.");
    return succeeded;
}

bool CActionRunner::CarryOut(const SActionPlan& plan) {
    m_tools = plan.tools;
    std::string tempName;
    CTempFileLock tempLock;
    std::string strippedFile;
    if (plan.stripCommercials) {
        SSystemError error;
        if (MakeHeldTempName(tempLock, &tempName, &error)) {
            strippedFile = ReplaceExtension(tempName, ".mpg");
            if (!AreStrippedNamesFree(plan, tempName)) {
                tempLock.Unlock();
                RemoveOrLog(tempName);
                return false;
            }
            if (!StripCommercials(plan.action, plan.recording, plan.recording, strippedFile)) {
                RemoveStrippedFiles(tempLock, tempName);
                return false;
            }
        } else {
            tempName.clear();
            Log("RunAction(): No temporary file name could be made in " + m_tools.tempPath + " (" +
                error.text + "), converting without stripping commercials");
        }
    }
    const bool converted = Convert(plan, plan.ConversionSource(strippedFile));
    if (!tempName.empty()) RemoveStrippedFiles(tempLock, tempName);
    return converted;
}

// The output is claimed while the conversion writes it, so that what a failed or stopped
// conversion leaves, which only looks finished, can go without taking another run's work.
bool CActionRunner::Convert(const SActionPlan& plan, const std::string& source) {
    const std::string& csDest = plan.destination;
    if (StopRequestSignal() != 0) return false;
    if (!MakeOutputFolders(plan)) return false;
    const COutputClaim claim(csDest);
    if (claim.State() == COutputClaim::EState::HeldByAnotherRun) {
        Log("RunAction(): The output " + csDest +
            " is being written by another run, so this run converts nothing.");
        return false;
    }
    m_output = SOutputBefore{csDest, claim.StampBefore()};
    bool converted = true;
    if (plan.passes.empty()) converted = ProcessAudio(plan.action, plan.recording, source, csDest);
    for (const int iPass : plan.passes) {
        if (!converted) {
            if (StopRequestSignal() == 0)
                Log("RunAction(): Pass 1 failed, so pass 2 was not started.");
            break;
        }
        converted = ProcessVideo(plan.action, plan.recording, source, csDest, iPass);
    }
    m_output = SOutputBefore();
    if (!converted) RemoveUnfinishedOutput(claim, csDest);
    return converted;
}

// Only a file that this conversion made or changed goes; an earlier file it never touched
// stays, and so does one of which the run cannot tell.
void CActionRunner::RemoveUnfinishedOutput(const COutputClaim& claim, const std::string& csDest) {
    const SFileStamp after = GetFileStamp(csDest);
    if (!after.isRegularFile) return;
    if (claim.State() != COutputClaim::EState::Claimed) {
        Log("RunAction(): Kept the output " + csDest +
            ", since this run cannot tell whether it "
            "wrote it: " +
            claim.Error());
        return;
    }
    const SFileStamp& before = claim.StampBefore();
    if (!claim.WasAbsent() && (!before.isRegularFile || after == before)) return;
    std::string error;
    if (RemoveFile(csDest, &error)) {
        Log("RunAction(): Removed the unfinished output " + csDest);
    } else {
        LogFileThatStays(csDest, error);
    }
}

// RTVEdit writes and the clean-up removes the stripped files: none of them may be the
// recording or the output.
bool CActionRunner::AreStrippedNamesFree(const SActionPlan& plan, const std::string& tempName) {
    for (const std::string& extension : kStrippedExtensions) {
        const std::string name = ReplaceExtension(tempName, extension);
        for (const std::string& kept : {plan.recording, plan.destination}) {
            if (!IsSameFile(name, kept)) continue;
            Log("RunAction(): The stripped copy's file " + name + " would be " + kept +
                ", so nothing was stripped.");
            return false;
        }
    }
    return true;
}

bool CActionRunner::MakeOutputFolders(const SActionPlan& plan) {
    for (const std::string& folder : plan.foldersToMake) {
        if (!MakeMissingFolder(folder)) return false;
    }
    return true;
}

bool CActionRunner::MakeMissingFolder(const std::string& folder) {
    if (IsExistingFolder(folder)) return true;
    std::string error;
    if (MakeFolder(folder, &error)) {
        Log("RunAction(): Made the folder " + folder);
        return true;
    }
    // Another run may have made it meanwhile.
    if (IsExistingFolder(folder)) return true;
    Log("RunAction(): The folder " + folder + " could not be made: " + error);
    return false;
}

// The run holds its temporary name while it works, so that no other run takes its files for
// abandoned ones.
bool CActionRunner::MakeHeldTempName(CTempFileLock& tempLock, std::string* name,
                                     SSystemError* error) {
    for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
        if (!MakeTempFileName(m_tools.tempPath, kTempPrefix, name, error)) return false;
        if (tempLock.Lock(*name)) return true;
        RemoveFile(*name);
    }
    *error = SSystemError{0, "another run took every name made"};
    return false;
}

// The stripped files go first and the held name last: while the name is held, no other run's
// clean-up touches the files named like it.
void CActionRunner::RemoveStrippedFiles(CTempFileLock& tempLock, const std::string& tempName) {
    for (const std::string& extension : kStrippedExtensions)
        RemoveOrLog(ReplaceExtension(tempName, extension));
    tempLock.Unlock();
    RemoveOrLog(tempName);
}

// Stripped copies of runs that were killed before they could remove them.
void CActionRunner::RemoveAbandonedStrippedFiles() {
    for (const SLeftFile& file :
         RemoveAbandonedTempFiles(m_tools.tempPath, kTempPrefix, kStrippedExtensions)) {
        if (file.error.empty()) {
            Log("RunAction(): Removed the abandoned temporary file " + file.path);
        } else {
            LogFileThatStays(file.path, file.error);
        }
    }
}

void CActionRunner::RemoveOrLog(const std::string& path) {
    std::string error;
    if (!RemoveFile(path, &error)) LogFileThatStays(path, error);
}

void CActionRunner::LogFileThatStays(const std::string& path, const std::string& error) {
    Log("RunAction(): The file " + path + " could not be removed: " + error);
}

std::string CActionRunner::FormatStopLine() {
    return "RunAction(): Stopped by signal " + std::to_string(StopRequestSignal()) + ".";
}
