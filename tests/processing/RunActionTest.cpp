#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "ProfileBuilder.h"
#include "StageFixture.h"
#include "model/Action.h"
#include "model/DVAFlags.h"

namespace {

// An RTVEdit stand-in that writes the stripped file it is asked for, with its index and event
// files beside it.
const char kRtvEditBody[] =
    "IFS= read -r target; target=${target#T}\n"
    "echo stripped > \"$target\"; echo index > \"${target%.mpg}.ndx\"; "
    "echo events > \"${target%.mpg}.evt\"";

class RunActionTest : public StageTest {
protected:
    RunActionTest() {
        std::filesystem::create_directory(OutputDirectory());
        recording.SetMpeg(home.File("show.mpg"));
        recording.SetTitle("Evening News");
        recording.SetEpisode("4");
        WriteWholeFile(recording.GetMpeg(), "recording");
        WriteWholeFile(home.File("show.evt"), "events of the recording");
        runner->Tools().ffmpegPath = WriteTool("ffmpeg", "");
        runner->Tools().evtDumpPath = WriteTool("evtdump", "echo EVENTS");
        runner->Tools().rtvEditPath = WriteTool("rtvedit", kRtvEditBody);
    }

    std::string OutputDirectory() const { return home.File("out"); }

    CAction Action(bool audioOnly = false) const {
        return MakeTitleAction("News", OutputDirectory(), "*", audioOnly);
    }

    // The source (after "-i") and the destination (last) of each transcoder call.
    std::vector<std::pair<std::string, std::string>> Conversions() const {
        std::vector<std::pair<std::string, std::string>> conversions;
        for (const std::vector<std::string>& call : CallsOf("ffmpeg"))
            conversions.emplace_back(call.at(2), call.back());
        return conversions;
    }

    // Names in the temporary directory that the run made: those beginning with "mst".
    std::vector<std::string> TemporaryNames() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(home.Path())) {
            const std::string name = entry.path().filename().string();
            if (name.rfind("mst", 0) == 0) names.push_back(name);
        }
        return names;
    }

    CDVAFlags recording;
};

TEST_F(RunActionTest, DestinationJoinsDirectoryAndSubstitutedTemplate) {
    CAction action = Action();
    action.SetOutputFilename("%title% - %episode%");

    runner->RunAction(action, recording);

    EXPECT_EQ(Conversions(),
              (std::vector<std::pair<std::string, std::string>>{
                  {recording.GetMpeg(), OutputDirectory() + "/Evening News - 4.mp4"}}));
}

TEST_F(RunActionTest, DotInTheTitleNeverCutsTheName) {
    recording.SetTitle("Mr. Smith");

    runner->RunAction(Action(true), recording);

    ASSERT_EQ(Conversions().size(), 1u);
    EXPECT_EQ(Conversions()[0].second, OutputDirectory() + "/Mr. Smith.mp3");
}

TEST_F(RunActionTest, AudioOnlyConvertsOnceEvenWithTwoPass) {
    CAction action = Action(true);
    action.SetTwoPass(1);

    runner->RunAction(action, recording);

    const std::vector<std::vector<std::string>> calls = CallsOf("ffmpeg");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].back(), OutputDirectory() + "/Evening News.mp3");
    EXPECT_EQ(std::find(calls[0].begin(), calls[0].end(), "-pass"), calls[0].end());
}

TEST_F(RunActionTest, TwoPassRunsPassOneThenPassTwoOnTheSameFiles) {
    CAction action = Action();
    action.SetTwoPass(1);

    runner->RunAction(action, recording);

    const std::vector<std::vector<std::string>> calls = CallsOf("ffmpeg");
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(std::vector<std::string>(calls[0].begin() + 3, calls[0].begin() + 5),
              (std::vector<std::string>{"-pass", "1"}));
    EXPECT_EQ(std::vector<std::string>(calls[1].begin() + 3, calls[1].begin() + 5),
              (std::vector<std::string>{"-pass", "2"}));
    EXPECT_EQ(Conversions()[0], Conversions()[1]);
}

TEST_F(RunActionTest, WithoutStrippingNothingTemporaryIsMade) {
    runner->RunAction(Action(), recording);

    EXPECT_TRUE(CallsOf("evtdump").empty());
    EXPECT_TRUE(TemporaryNames().empty());
    EXPECT_EQ(Conversions()[0].first, recording.GetMpeg());
}

TEST_F(RunActionTest, StrippedCopyIsConvertedAndItsFilesAreDeletedAfterwards) {
    CAction action = Action();
    action.SetStripCommercials(1);

    runner->RunAction(action, recording);

    EXPECT_EQ(CallsOf("evtdump"), (std::vector<std::vector<std::string>>{{home.File("show.evt")}}));
    ASSERT_EQ(Conversions().size(), 1u);
    const std::string stripped = Conversions()[0].first;
    const std::string strippedName = std::filesystem::path(stripped).filename().string();
    EXPECT_EQ(std::filesystem::path(stripped).parent_path(), std::filesystem::path(home.Path()));
    EXPECT_EQ(strippedName.rfind("mst", 0), 0u);
    EXPECT_EQ(std::filesystem::path(stripped).extension(), ".mpg");
    EXPECT_TRUE(TemporaryNames().empty());
    EXPECT_EQ(ReadWholeFile(recording.GetMpeg()), "recording");
    EXPECT_EQ(ReadWholeFile(home.File("show.evt")), "events of the recording");
    EXPECT_EQ(LogTexts()[0], "StripCommercials(): csAction=News, csMpeg=" + recording.GetMpeg() +
                                 ", csSource=" + recording.GetMpeg() + ", csDest=" + stripped);
}

TEST_F(RunActionTest, WithoutATemporaryNameTheRecordingItselfIsConverted) {
    runner->Tools().tempPath = home.File("missing") + "/";
    CAction action = Action();
    action.SetStripCommercials(1);

    runner->RunAction(action, recording);

    EXPECT_TRUE(CallsOf("evtdump").empty());
    ASSERT_EQ(Conversions().size(), 1u);
    EXPECT_EQ(Conversions()[0].first, recording.GetMpeg());
    const std::vector<std::string> log = LogTexts();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log[0].rfind("RunAction(): ", 0), 0u);
    EXPECT_EQ(ReadWholeFile(recording.GetMpeg()), "recording");
    EXPECT_TRUE(sink.shown.empty());
}

// Each check of the plan refuses the run before any tool starts, with a line that says why.
// "$H" stands for the scratch folder.
struct RefusalCase {
    const char* name;
    const char* recordingName;
    const char* outputDirectory;  // below the scratch folder
    const char* filenameTemplate;
    const char* title;
    const char* emptyTool;     // the tool whose path is emptied, or ""
    const char* blockingFile;  // a file made below the scratch folder, or ""
    const char* logLine;
};

void PrintTo(const RefusalCase& row, std::ostream* out) {
    *out << row.name;
}

const std::string kLongTitle(300, 'x');
const std::string kLongRecording = std::string(300, 'r') + ".mpg";
const std::string kLongRecordingLine = "RunAction(): The recording $H/" + kLongRecording +
                                       " cannot be examined: File name too long.";

const RefusalCase kRefusals[] = {
    {"MissingRecording", "gone.mpg", "out", "%title%", "News", "", "",
     "RunAction(): The recording $H/gone.mpg does not exist or is a folder."},
    {"RecordingThatCannotBeExamined", kLongRecording.c_str(), "out", "%title%", "News", "", "",
     kLongRecordingLine.c_str()},
    {"MissingOutputDirectory", "show.mpg", "nowhere", "%title%", "News", "", "",
     "RunAction(): The output directory $H/nowhere does not exist."},
    {"FolderBlockedByAFile", "show.mpg", "out", "blocked/%title%", "News", "", "out/blocked",
     "RunAction(): The folder $H/out/blocked cannot be made: a file has its name."},
    {"FolderPastAParent", "show.mpg", "out", "sub/../../b/%title%", "News", "", "",
     "RunAction(): The folder $H/out/sub/../../b does not exist, and the run makes no folder "
     "past a \"..\"."},
    {"NameTooLong", "show.mpg", "out", "%title%", kLongTitle.c_str(), "", "",
     "RunAction(): The output file's name is longer than the file system allows (304, at most "
     "255)."},
    {"OutputIsTheRecording", "show.mp4", "", "%title%", "show", "", "",
     "RunAction(): The output file $H//show.mp4 is the recording itself."},
    {"EmptyFfmpegPath", "show.mpg", "out", "%title%", "News", "ffmpeg", "",
     "ProcessVideo(): The FFMPEG path is empty, so FFMPEG was not started."},
    {"EmptyEvtDumpPath", "show.mpg", "out", "%title%", "News", "evtdump", "",
     "StripCommercials(): The EVTDump path is empty, so EVTDump was not started."},
    {"EmptyRtvEditPath", "show.mpg", "out", "%title%", "News", "rtvedit", "",
     "StripCommercials(): The RTVEdit path is empty, so RTVEdit was not started."},
};

class RunRefusalTest : public RunActionTest, public ::testing::WithParamInterface<RefusalCase> {
protected:
    std::string InHome(std::string text) const {
        for (std::string::size_type at; (at = text.find("$H")) != std::string::npos;)
            text.replace(at, 2, home.Path());
        return text;
    }
};

TEST_P(RunRefusalTest, NoToolStartsAndTheLogSaysWhy) {
    const RefusalCase& row = GetParam();
    recording.SetMpeg(home.File(row.recordingName));
    if (*row.recordingName == 's') WriteWholeFile(recording.GetMpeg(), "rec");
    recording.SetTitle(row.title);
    if (*row.blockingFile) WriteWholeFile(home.File(row.blockingFile), "a file");
    CAction action = MakeTitleAction("News", home.Path() + "/" + row.outputDirectory, "*", false);
    action.SetOutputFilename(row.filenameTemplate);
    action.SetStripCommercials(1);
    const std::string emptyTool = row.emptyTool;
    if (emptyTool == "ffmpeg") runner->Tools().ffmpegPath.clear();
    if (emptyTool == "evtdump") runner->Tools().evtDumpPath.clear();
    if (emptyTool == "rtvedit") runner->Tools().rtvEditPath.clear();

    EXPECT_FALSE(runner->RunAction(action, recording));

    EXPECT_TRUE(CallsOf("evtdump").empty());
    EXPECT_TRUE(CallsOf("ffmpeg").empty());
    const std::vector<std::string> log = LogTexts();
    EXPECT_NE(std::find(log.begin(), log.end(), InHome(row.logLine)), log.end());
    EXPECT_EQ(log.back(), "RunAction(): Action failed.");
    if (*row.recordingName == 's') {
        EXPECT_EQ(ReadWholeFile(recording.GetMpeg()), "rec");
    }
}

INSTANTIATE_TEST_SUITE_P(Checks, RunRefusalTest, ::testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
