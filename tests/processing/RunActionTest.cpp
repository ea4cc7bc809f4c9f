#include <gtest/gtest.h>

#include <filesystem>
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
        dialog->ffmpegPath = WriteTool("ffmpeg", "");
        dialog->evtDumpPath = WriteTool("evtdump", "echo EVENTS");
        dialog->rtvEditPath = WriteTool("rtvedit", kRtvEditBody);
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

    dialog->RunAction(action, recording);

    EXPECT_EQ(Conversions(),
              (std::vector<std::pair<std::string, std::string>>{
                  {recording.GetMpeg(), OutputDirectory() + "/Evening News - 4.mp4"}}));
}

TEST_F(RunActionTest, DotInTheTitleNeverCutsTheName) {
    recording.SetTitle("Mr. Smith");

    dialog->RunAction(Action(true), recording);

    ASSERT_EQ(Conversions().size(), 1u);
    EXPECT_EQ(Conversions()[0].second, OutputDirectory() + "/Mr. Smith.mp3");
}

TEST_F(RunActionTest, AudioOnlyConvertsOnceEvenWithTwoPass) {
    CAction action = Action(true);
    action.SetTwoPass(1);

    dialog->RunAction(action, recording);

    const std::vector<std::vector<std::string>> calls = CallsOf("ffmpeg");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].back(), OutputDirectory() + "/Evening News.mp3");
    EXPECT_EQ(std::find(calls[0].begin(), calls[0].end(), "-pass"), calls[0].end());
}

TEST_F(RunActionTest, TwoPassRunsPassOneThenPassTwoOnTheSameFiles) {
    CAction action = Action();
    action.SetTwoPass(1);

    dialog->RunAction(action, recording);

    const std::vector<std::vector<std::string>> calls = CallsOf("ffmpeg");
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(std::vector<std::string>(calls[0].begin() + 3, calls[0].begin() + 5),
              (std::vector<std::string>{"-pass", "1"}));
    EXPECT_EQ(std::vector<std::string>(calls[1].begin() + 3, calls[1].begin() + 5),
              (std::vector<std::string>{"-pass", "2"}));
    EXPECT_EQ(Conversions()[0], Conversions()[1]);
}

TEST_F(RunActionTest, WithoutStrippingNothingTemporaryIsMade) {
    dialog->RunAction(Action(), recording);

    EXPECT_TRUE(CallsOf("evtdump").empty());
    EXPECT_TRUE(TemporaryNames().empty());
    EXPECT_EQ(Conversions()[0].first, recording.GetMpeg());
}

TEST_F(RunActionTest, StrippedCopyIsConvertedAndItsFilesAreDeletedAfterwards) {
    CAction action = Action();
    action.SetStripCommercials(1);

    dialog->RunAction(action, recording);

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
    dialog->tempPath = home.File("missing") + "/";
    CAction action = Action();
    action.SetStripCommercials(1);

    dialog->RunAction(action, recording);

    EXPECT_TRUE(CallsOf("evtdump").empty());
    ASSERT_EQ(Conversions().size(), 1u);
    EXPECT_EQ(Conversions()[0].first, recording.GetMpeg());
    const std::vector<std::string> log = LogTexts();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log[0].rfind("RunAction(): ", 0), 0u);
    EXPECT_EQ(ReadWholeFile(recording.GetMpeg()), "recording");
    EXPECT_TRUE(dialog->shown->empty());
}

}  // namespace
