#include "HostRun.h"

#include <algorithm>
#include <filesystem>

#include "ProfileBuilder.h"

namespace {

const char kRecordEnd[] = "----- end -----";

}  // namespace

std::string StoredAction(const std::string& name, const std::string& directory,
                         const ActionOptions& options, const std::string& filenameTemplate,
                         const std::string& titlePattern) {
    CAction action = MakeTitleAction(name, directory, titlePattern, options.audioOnly != 0);
    action.SetOutputFilename(filenameTemplate);
    action.SetStripCommercials(options.stripCommercials);
    action.SetTwoPass(options.twoPass);
    return action.ToString();
}

std::vector<std::string> LogEntries(const std::string& logText) {
    std::vector<std::string> entries;
    for (const std::string& line : SplitLines(logText)) {
        const size_t prefix = LogPrefixLength(line);
        if (prefix > 0) {
            entries.push_back(line.substr(prefix));
        } else if (!entries.empty()) {
            entries.back() += "\n" + line;
        }
    }
    return entries;
}

HostRunTest::HostRunTest() {
    std::filesystem::create_directories(OutputDirectory());
    std::filesystem::create_directories(TempPath());
    std::filesystem::create_directories(home.File("rec"));
    WriteWholeFile(Recording(), "0123456789COMMERCIAL--the rest of the show");
    WriteWholeFile(home.File("rec/show.evt"), "cut 10 22\n");
}

std::map<std::string, std::string> HostRunTest::Settings(
    const std::map<std::string, std::string>& overrides) const {
    std::map<std::string, std::string> settings = {
        {"ffmpegPath", ToolPath("standin_ffmpeg")},
        {"evtDumpPath", ToolPath("standin_evtdump")},
        {"rtvEditPath", ToolPath("standin_rtvedit")},
        {"tempPath", TempPath()},
        {"logging", "1"},
        {"loggingPath", LogPath()}};
    for (const auto& [key, value] : overrides) settings[key] = value;
    return settings;
}

void HostRunTest::WriteProfile(const ActionOptions& options,
                               const std::map<std::string, std::string>& settings) {
    ProfileBuilder profile;
    profile.Raw("action00", StoredAction("Archive", OutputDirectory(), options));
    for (const auto& [key, value] : Settings(settings)) profile.Raw(key, value);
    WriteWholeFile(ProfilePath(), profile.Text());
}

std::map<std::string, std::string> HostRunTest::Environment(
    const std::map<std::string, std::string>& extra) const {
    std::map<std::string, std::string> environment = extra;
    environment["XDG_CONFIG_HOME"] = home.Path();
    environment["STANDIN_RECORD"] = Record();
    return environment;
}

std::vector<std::string> HostRunTest::Arguments(const std::string& title,
                                                const std::string& recording) const {
    return HostArguments(recording.empty() ? Recording() : recording, title);
}

ProcessResult HostRunTest::Run(const std::map<std::string, std::string>& toolSettings,
                               int exitStatus, const std::string& title) {
    const ProcessResult result = RunProgram(Arguments(title), Environment(toolSettings));
    EXPECT_EQ(result.exitStatus, exitStatus) << result.standardError;
    return result;
}

std::vector<std::string> HostRunTest::RunEntries() const {
    const std::vector<std::string> entries = LogEntries(ReadWholeFile(LogPath()));
    const auto first = std::find(entries.begin(), entries.end(),
                                 "ProcessActions(): Processing action: Archive");
    return std::vector<std::string>(first, entries.end());
}

std::vector<std::vector<std::string>> HostRunTest::Calls() const {
    std::vector<std::vector<std::string>> calls(1);
    for (const std::string& line : SplitLines(ReadWholeFile(Record()))) {
        if (line == kRecordEnd) {
            calls.emplace_back();
        } else {
            calls.back().push_back(line);
        }
    }
    calls.pop_back();
    return calls;
}

std::string HostRunTest::OutputOf(std::vector<std::string> call,
                                  const std::map<std::string, std::string>& toolSettings) const {
    const ProcessResult result = RunProgram(call, toolSettings);
    return result.standardOutput + result.standardError;
}

std::string HostRunTest::Destination(const std::string& extension,
                                     const std::string& title) const {
    return OutputDirectory() + "/" + title + extension;
}
