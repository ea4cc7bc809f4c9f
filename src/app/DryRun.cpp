#include "app/DryRun.h"

#include "model/ActionChoice.h"
#include "model/DVAFlags.h"
#include "processing/ActionPlan.h"

namespace {

const std::string::size_type kOptionColumn = 16;
const char* const kReportHead = "PELKAR dry run: nothing is started, written or logged.\n\n";

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
    const auto add = [&](const std::string& part) {
        missing += (missing.empty() ? "" : ", ") + part;
    };
    if (action.GetName().empty()) add("no name");
    if (action.GetOutputDirectory().empty()) add("no output directory");
    if (action.GetOutputFilename().empty()) add("no output filename");
    const CDVAFlags& filter = action.GetFilter();
    bool anyOn = false;
    for (int field = 0; field < DVAFieldCount; ++field) {
        const EDVAField entry = static_cast<EDVAField>(field);
        if (filter.GetFlag(entry) == 0) continue;
        anyOn = true;
        if (filter.GetText(entry).empty())
            add(DVAFieldOption(entry) + " is tested with no pattern");
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

std::string PlanSection(const SStoredSettings& settings, const CAction& action,
                        const CDVAFlags& recording) {
    const SActionPlan plan = PlanAction(action, recording, ToolSettings(settings));
    std::string text = "The action " + Quoted(plan.action) + " would run:\n";
    text += "  Output file: " + plan.destination + "\n";
    for (const std::string& folder : plan.foldersToMake)
        text += "  The folder " + folder + " would be made.\n";
    // The real name is made when the run starts, with random characters.
    const std::string strippedFile = StrippedFilePattern(plan.tools.tempPath);
    if (plan.stripCommercials) {
        text += "  Commercials: stripped first, into " + strippedFile + "\n";
        for (const std::string& note : plan.notes) text += "  " + note + "\n";
    } else {
        text += "  Commercials: not stripped\n";
    }
    std::vector<std::string> commands = plan.CommandLines(strippedFile);
    if (plan.stripCommercials) {
        commands[1] +=
            "   (its input: \"T" + strippedFile + "\", a line feed, EVTDump's output, a line feed)";
    }
    text += "  Command lines, in order:\n";
    for (std::size_t i = 0; i < commands.size(); ++i)
        text += "    " + std::to_string(i + 1) + ". " + commands[i] + "\n";
    if (plan.refusals.empty()) return text;
    text += "\nThe run would fail:\n";
    for (const SRefusal& refusal : plan.refusals) text += "  " + refusal.reportLine + "\n";
    return text;
}

}  // namespace

std::string UnreadableProfileReport(const std::string& problem) {
    return std::string(kReportHead) + "No action would be run: " + problem + ".\n";
}

std::string DryRunReport(const SStoredSettings& settings,
                         const std::vector<std::string>& storedActions, const CDVAFlags& recording,
                         const std::vector<std::string>& ignoredSwitches, bool* matched) {
    std::string report = kReportHead;
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
