#include "app/DryRun.h"

#include "model/ActionChoice.h"
#include "model/DVAFlags.h"
#include "platform/FolderQuery.h"
#include "platform/Platform.h"
#include "processing/ToolCommands.h"

namespace {

const std::string::size_type kOptionColumn = 16;

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

std::string FieldLine(EDVAField field, const std::string& text) {
    std::string line = "  " + DVAFieldOption(field);
    line.append(line.size() < kOptionColumn ? kOptionColumn - line.size() : 1, ' ');
    return line + (text.empty() ? "(empty)" : text) + "\n";
}

// A switch that arrived, maybe out of a value the host did not quote, is shown but not obeyed.
std::string RecordingSection(const CDVAFlags& recording,
                             const std::vector<std::string>& ignoredSwitches) {
    std::string text = "The recording's fields as the host passed them:\n";
    for (int field = 0; field < DVAFieldCount; ++field) {
        const EDVAField entry = static_cast<EDVAField>(field);
        text += FieldLine(entry, recording.GetText(entry));
    }
    if (ignoredSwitches.empty()) return text;
    text += "Also on the command line, and not acted on by a dry run:";
    for (const std::string& option : ignoredSwitches) text += " " + option;
    return text + "\n";
}

// Why an action is not complete, in the words of the editor's fields.
std::string MissingParts(const CAction& action) {
    std::string missing;
    const auto add = [&](const std::string& part) { missing += (missing.empty() ? "" : ", ") + part; };
    if (action.GetName().empty()) add("no name");
    if (action.GetOutputDirectory().empty()) add("no output directory");
    if (action.GetOutputFilename().empty()) add("no output filename");
    const CDVAFlags& filter = action.GetFilter();
    bool anyOn = false;
    for (int field = 0; field < DVAFieldCount; ++field) {
        const EDVAField entry = static_cast<EDVAField>(field);
        if (filter.GetFlag(entry) == 0) continue;
        anyOn = true;
        if (filter.GetText(entry).empty()) add(DVAFieldOption(entry) + " is tested with no pattern");
    }
    if (!anyOn) add("no field is tested");
    return missing;
}

std::string TrialLines(int number, const SActionTrial& trial, const CDVAFlags& recording) {
    std::string text = "  " + std::to_string(number) + ". " + Quoted(trial.action.GetName()) + ": ";
    if (!trial.complete) return text + "incomplete (" + MissingParts(trial.action) + "); skipped\n";
    if (trial.matches) return text + "complete; the filter matches\n";
    text += "complete; the filter does not match:\n";
    const CDVAFlags& filter = trial.action.GetFilter();
    for (const EDVAField field : filter.MismatchedFields(recording)) {
        text += "       " + DVAFieldOption(field) + ": pattern " + Quoted(filter.GetText(field)) +
                " does not match " + Quoted(recording.GetText(field)) + "\n";
    }
    return text;
}

std::string JoinedPath(const std::string& directory, const std::string& name) {
    if (!directory.empty() && IsPathSeparator(directory.back())) return directory + name;
    return directory + PathSeparator() + name;
}

// The names of the path's parts below the folder, in order; the last is the file's.
std::vector<std::string> NamesBelow(const std::string& folder, const std::string& path) {
    std::vector<std::string> names(1);
    for (std::size_t i = folder.size(); i < path.size(); ++i) {
        if (!IsPathSeparator(path[i])) {
            names.back() += path[i];
        } else if (!names.back().empty()) {
            names.emplace_back();
        }
    }
    return names;
}

std::string TooLongLine(const std::string& what, std::size_t length, std::size_t limit) {
    return "  " + what + " is longer than the file system allows (" + std::to_string(length) +
           ", at most " + std::to_string(limit) + ").\n";
}

// The run writes into the output directory as it is and makes only the folders that the
// template adds below it; every name must fit the file system of the folder it goes into.
void CheckOutputPath(const std::string& directory, const std::string& destination,
                     std::string* text, std::string* problems) {
    if (!IsExistingFolder(directory)) {
        *problems += "  The output directory " + directory + " does not exist.\n";
        return;
    }
    const std::vector<std::string> names = NamesBelow(directory, destination);
    std::string existing = directory;  // the deepest folder of the path that exists
    std::string folder = directory;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const bool isFile = i + 1 == names.size();
        const std::size_t length = FileNameLength(names[i]);
        const std::size_t limit = MaxFileNameLength(existing);
        if (length > limit) {
            *problems += TooLongLine(isFile ? "The output file's name"
                                            : "The folder name " + Quoted(names[i]),
                                     length, limit);
            return;
        }
        if (isFile) return;
        const bool inExistingFolder = folder == existing;
        folder = JoinedPath(folder, names[i]);
        if (inExistingFolder && IsExistingFolder(folder)) {
            existing = folder;
        } else if (inExistingFolder && IsExistingFile(folder)) {
            *problems += "  The folder " + folder + " cannot be made: a file has its name.\n";
            return;
        } else {
            *text += "  The folder " + folder + " would be made.\n";
        }
    }
}

// The tool whose path is empty would not be started, and the action would fail.
void NoteEmptyTool(const std::string& tool, const std::string& path, std::string* problems) {
    if (path.empty()) *problems += "  The " + tool + " path is empty: nothing would be started.\n";
}

std::string PlanSection(const SStoredSettings& settings, const CAction& action,
                        const CDVAFlags& recording) {
    const std::string recordingPath = recording.GetMpeg();
    std::string source = recordingPath;
    std::vector<std::string> commands;
    std::string problems;
    if (!IsExistingFile(recordingPath)) {
        problems += "  The recording " + recordingPath + " does not exist or is a folder.\n";
    }
    const std::string destination = ActionDestination(action, recording);
    std::string text = "The action " + Quoted(action.GetName()) + " would run:\n";
    text += "  Output file: " + destination + "\n";
    CheckOutputPath(action.GetOutputDirectory(), destination, &text, &problems);
    if (action.GetStripCommercials()) {
        // The real name is made when the run starts, with six random characters.
        source = JoinedPath(settings.tempPath, "mstXXXXXX.mpg");
        text += "  Commercials: stripped first, into " + source + "\n";
        commands.push_back(EvtDumpCommand(settings.evtDumpPath, recordingPath));
        commands.push_back(RtvEditCommand(settings.rtvEditPath) + "   (its input: \"T" + source +
                           "\", a line feed, EVTDump's output, a line feed)");
        NoteEmptyTool("EVTDump", settings.evtDumpPath, &problems);
        NoteEmptyTool("RTVEdit", settings.rtvEditPath, &problems);
    } else {
        text += "  Commercials: not stripped\n";
    }
    const std::vector<int> passes = VideoPasses(action);
    if (passes.empty()) commands.push_back(AudioCommand(settings.ffmpegPath, source, destination));
    for (const int pass : passes)
        commands.push_back(VideoCommand(settings.ffmpegPath, source, destination, pass));
    NoteEmptyTool("FFMPEG", settings.ffmpegPath, &problems);
    text += "  Command lines, in order:\n";
    for (std::size_t i = 0; i < commands.size(); ++i)
        text += "    " + std::to_string(i + 1) + ". " + commands[i] + "\n";
    if (!problems.empty()) text += "\nThe run would fail:\n" + problems;
    return text;
}

}  // namespace

std::string DryRunReport(const SStoredSettings& settings,
                         const std::vector<std::string>& storedActions, const CDVAFlags& recording,
                         const std::vector<std::string>& ignoredSwitches, bool* matched) {
    std::string report = "PELKAR dry run: nothing is started, written or logged.\n\n";
    report += RecordingSection(recording, ignoredSwitches) + "\n";
    const std::vector<SActionTrial> trials = TryActions(storedActions, recording);
    report += "Actions tried, in list order:\n";
    for (std::size_t i = 0; i < trials.size(); ++i)
        report += TrialLines(static_cast<int>(i) + 1, trials[i], recording);
    if (trials.empty()) report += "  (the action list is empty)\n";
    *matched = !trials.empty() && trials.back().matches;
    if (!*matched) return report + "\nNo action matches this recording: nothing would be done.\n";
    return report + "\n" + PlanSection(settings, trials.back().action, recording);
}
