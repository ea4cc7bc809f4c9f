#include "processing/ActionPlan.h"

#include <cstring>

#include "model/Action.h"
#include "model/DVAFlags.h"
#include "model/Text.h"
#include "platform/FileIdentity.h"
#include "platform/Files.h"
#include "platform/FolderQuery.h"
#include "platform/Paths.h"
#include "platform/ProgramSearch.h"
#include "processing/ToolCommands.h"

const char* const kTempPrefix = "mst";

namespace {

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

std::string JoinedPath(const std::string& directory, const std::string& name) {
    if (!directory.empty() && IsPathSeparator(directory.back())) return directory + name;
    return directory + PathSeparator() + name;
}

SRefusal RunRefusal(const std::string& sentence) {
    return SRefusal{"RunAction(): " + sentence, sentence};
}

SRefusal TooLong(const std::string& what, std::size_t length, std::size_t limit) {
    return RunRefusal(what + " is longer than the file system allows (" + std::to_string(length) +
                      ", at most " + std::to_string(limit) + ").");
}

// Walks the template's folders below the output directory the way the run makes them. A
// folder that the run makes is a real one, so a ".." right after it leads back for sure; past
// a "..", which may lead out of the output directory, nothing is made and every folder must
// already be there.
class CFolderWalk {
public:
    CFolderWalk(const std::string& directory, SActionPlan* plan)
        : m_plan(plan), m_existing(directory) {}

    // The part's name and the path that ends with it, as the destination spells it.
    bool Folder(const std::string& part, const std::string& path) {
        if (part.empty() || part == ".") return true;
        if (part == "..") {
            m_pastParent = true;
            if (m_newDepth > 0) {
                --m_newDepth;
            } else {
                m_existing = JoinedPath(m_existing, part);
            }
            return true;
        }
        if (!Fits(part, "The folder name " + Quoted(part))) return false;
        if (IsDeviceName(part))
            return Refuse("The folder " + path + " cannot be made: " + Quoted(part) +
                          " is the name of a device.");
        const std::string below = JoinedPath(m_existing, part);
        if (m_newDepth == 0 && IsExistingFolder(below)) {
            m_existing = below;
            return true;
        }
        if (m_pastParent)
            return Refuse("The folder " + path +
                          " does not exist, and the run makes "
                          "no folder past a \"..\".");
        if (m_newDepth == 0 && IsExistingFile(below))
            return Refuse("The folder " + path + " cannot be made: a file has its name.");
        m_plan->foldersToMake.push_back(path);
        ++m_newDepth;
        return true;
    }

    // A template's own part may name a device; the tool would write to it and leave no file.
    bool File(const std::string& name, const std::string& path) {
        if (!Fits(name, "The output file's name")) return false;
        if (!IsDeviceName(name)) return true;
        return Refuse("The output file " + path + " cannot be written: " + Quoted(name) +
                      " is the name of a device.");
    }

private:
    bool Fits(const std::string& name, const std::string& what) {
        const std::size_t length = FileNameLength(name);
        const std::size_t limit = MaxFileNameLength(m_existing);
        if (length <= limit) return true;
        m_plan->refusals.push_back(TooLong(what, length, limit));
        return false;
    }

    bool Refuse(const std::string& sentence) {
        m_plan->refusals.push_back(RunRefusal(sentence));
        return false;
    }

    SActionPlan* m_plan;
    std::string m_existing;  // the deepest folder of the path known to exist
    int m_newDepth = 0;      // folders the run makes below m_existing
    bool m_pastParent = false;
};

// The run writes into the output directory as it is and makes only the folders that the
// template adds below it; every name must fit the file system of the folder it goes into.
void PlanOutputFolders(const std::string& directory, SActionPlan* plan) {
    if (!IsExistingFolder(directory)) {
        plan->refusals.push_back(
            RunRefusal("The output directory " + directory + " does not exist."));
        return;
    }
    const std::string& destination = plan->destination;
    CFolderWalk walk(directory, plan);
    std::string::size_type partStart = directory.size() + std::strlen(PathSeparator());
    for (std::string::size_type i = partStart; i < destination.size(); ++i) {
        if (!IsPathSeparator(destination[i])) continue;
        const std::string part = destination.substr(partStart, i - partStart);
        partStart = i + 1;
        if (!walk.Folder(part, destination.substr(0, i))) return;
    }
    walk.File(destination.substr(partStart), destination);
}

// An empty path would make the first word of the rest of the command line the program.
void CheckToolPath(const std::string& stage, const std::string& tool, const std::string& path,
                   SActionPlan* plan) {
    if (!path.empty()) return;
    plan->refusals.push_back(
        SRefusal{stage + "(): The " + tool + " path is empty, so " + tool + " was not started.",
                 "The " + tool + " path is empty: nothing would be started."});
}

// A recording that could not be examined (a network share that failed, say) is named with
// the system's reason: it may well be there.
// A profile that names the recorder's tool by its bare default name, on a system that does not
// have it, runs the one that ships with PELKAR in its place.
std::string ToolInPlace(const std::string& tool, const std::string& baseName,
                        const std::string& setting, SActionPlan* plan) {
    const std::string own = DefaultToolName("pelkar-" + baseName);
    const std::string name = ToLower(setting);
    const bool bareDefault =
        name == baseName || name == baseName + ".exe" || name == ToLower(DefaultToolName(baseName));
    if (!bareDefault || name == ToLower(own) || IsProgramFound(setting)) return setting;
    plan->notes.push_back(tool + " " + setting + " is not found, so " + own +
                          " runs in its place.");
    return own;
}

void CheckRecording(SActionPlan* plan) {
    if (IsExistingFile(plan->recording)) return;
    const std::string error = ExaminationError(plan->recording);
    plan->refusals.push_back(RunRefusal("The recording " + plan->recording +
                                        (error.empty() ? " does not exist or is a folder."
                                                       : " cannot be examined: " + error + ".")));
}

}  // namespace

std::string SActionPlan::ConversionSource(const std::string& strippedFile) const {
    return stripCommercials && !strippedFile.empty() ? strippedFile : recording;
}

std::vector<std::string> SActionPlan::CommandLines(const std::string& strippedFile) const {
    std::vector<std::string> commands;
    const std::string source = ConversionSource(strippedFile);
    if (stripCommercials) {
        commands.push_back(EvtDumpCommand(tools.evtDumpPath, recording));
        commands.push_back(RtvEditCommand(tools.rtvEditPath));
    }
    if (passes.empty()) commands.push_back(AudioCommand(tools.ffmpegPath, source, destination));
    for (const int pass : passes)
        commands.push_back(VideoCommand(tools.ffmpegPath, source, destination, pass));
    return commands;
}

SActionPlan PlanAction(const CAction& action, const CDVAFlags& recording,
                       const SToolSettings& settings) {
    SActionPlan plan;
    plan.action = action.GetName();
    plan.recording = recording.GetMpeg();
    plan.destination = ActionDestination(action, recording);
    plan.stripCommercials = action.GetStripCommercials() != 0;
    plan.passes = VideoPasses(action);
    plan.tools = settings;
    CheckRecording(&plan);
    PlanOutputFolders(action.GetOutputDirectory(), &plan);
    if (IsSameFile(plan.destination, plan.recording)) {
        plan.refusals.push_back(
            RunRefusal("The output file " + plan.destination + " is the recording itself."));
    }
    if (plan.stripCommercials) {
        plan.tools.evtDumpPath = ToolInPlace("EVTDump", "evtdump", settings.evtDumpPath, &plan);
        plan.tools.rtvEditPath = ToolInPlace("RTVEdit", "rtvedit", settings.rtvEditPath, &plan);
        CheckToolPath("StripCommercials", "EVTDump", settings.evtDumpPath, &plan);
        CheckToolPath("StripCommercials", "RTVEdit", settings.rtvEditPath, &plan);
    }
    CheckToolPath(plan.passes.empty() ? "ProcessAudio" : "ProcessVideo", "FFMPEG",
                  settings.ffmpegPath, &plan);
    return plan;
}

std::string StrippedFilePattern(const std::string& tempPath) {
    return JoinedPath(tempPath, std::string(kTempPrefix) + "XXXXXX.mpg");
}
