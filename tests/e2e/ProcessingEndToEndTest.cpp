#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "HostRun.h"
#include "ProfileBuilder.h"
#include "TestSupport.h"

namespace {

const std::string kTitle = "Evening News";

class ProcessingTest : public HostRunTest {
protected:
    void WriteProfile(const ActionOptions& options,
                      const std::string& ffmpegPath = ToolPath("standin_ffmpeg")) {
        HostRunTest::WriteProfile(options, {{"ffmpegPath", ffmpegPath}});
    }
};

std::vector<std::string> VideoCall(const std::string& source, const std::string& destination,
                                   const std::string& pass) {
    std::vector<std::string> call{ToolPath("standin_ffmpeg"), "-y", "-i", source};
    if (!pass.empty()) call.insert(call.end(), {"-pass", pass});
    call.insert(call.end(),
                {"-bitexact", "-vcodec", "xvid",     "-s",  "320x240", "-b",  "384",
                 "-minrate",  "32",      "-maxrate", "400", "-bt",     "16",  "-r",
                 "29.97",     "-acodec", "aac",      "-ac", "2",       "-ab", "48",
                 "-ar",       "24000",   "-vol",     "130", "-f",      "psp", destination});
    return call;
}

std::string VideoCommand(const std::string& source, const std::string& destination,
                         const std::string& pass) {
    return ToolPath("standin_ffmpeg") + " -y -i \"" + source + "\"" +
           (pass.empty() ? "" : " -pass " + pass) +
           " -bitexact -vcodec xvid -s 320x240 -b 384 -minrate 32 -maxrate 400 -bt 16 -r 29.97"
           " -acodec aac -ac 2 -ab 48 -ar 24000 -vol 130 -f psp \"" +
           destination + "\"";
}

std::vector<std::string> VideoEntries(const std::string& source, const std::string& recording,
                                      const std::string& destination, const std::string& pass,
                                      const std::string& output,
                                      const std::vector<std::string>& toolEnd = {
                                          "ProcessVideo(): FFMPEG exited with status 0."}) {
    std::vector<std::string> entries = {
        "ProcessVideo(): csAction=Archive, csMpeg=" + recording + ", csSource=" + source +
            ", csDest=" + destination + ", iPass=" + (pass.empty() ? "0" : pass),
        "ProcessVideo(): Executing command: " + VideoCommand(source, destination, pass),
        "ProcessVideo(): FFMPEG Output:\n\n\n" + output};
    entries.insert(entries.end(), toolEnd.begin(), toolEnd.end());
    entries.push_back("ProcessVideo(): Completed processing video.");
    return entries;
}

std::vector<std::string> Joined(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> joined;
    for (const std::vector<std::string>& part : parts)
        joined.insert(joined.end(), part.begin(), part.end());
    return joined;
}

const std::vector<std::string> kMatch = {"ProcessActions(): Processing action: Archive",
                                         "ProcessActions(): Filter match found!"};
const std::vector<std::string> kEnd = {"RunAction(): Action succeeded.",
                                       "~CPELKARDialog(): PELKAR terminating."};
const std::vector<std::string> kFailedEnd = {"RunAction(): Action failed.",
                                             "~CPELKARDialog(): PELKAR terminating."};

TEST_F(ProcessingTest, AudioActionConvertsTheRecordingToMp3) {
    WriteProfile({1, 0, 0});

    Run();

    const std::vector<std::string> call{ToolPath("standin_ffmpeg"),
                                        "-y",
                                        "-i",
                                        Recording(),
                                        "-acodec",
                                        "mp3",
                                        "-ac",
                                        "2",
                                        "-ab",
                                        "48",
                                        "-ar",
                                        "24000",
                                        "-vol",
                                        "130",
                                        Destination(".mp3")};
    EXPECT_EQ(Calls(), (std::vector<std::vector<std::string>>{call}));
    EXPECT_EQ(ReadWholeFile(Destination(".mp3")),
              "standin_ffmpeg output, pass 0\n" + ReadWholeFile(Recording()));
    const std::string command = ToolPath("standin_ffmpeg") + " -y -i \"" + Recording() +
                                "\" -acodec mp3 -ac 2 -ab 48 -ar 24000 -vol 130 \"" +
                                Destination(".mp3") + "\"";
    EXPECT_EQ(RunEntries(),
              Joined({kMatch,
                      {"ProcessAudio(): csAction=Archive, csMpeg=" + Recording() +
                           ", csSource=" + Recording() + ", csDest=" + Destination(".mp3"),
                       "ProcessAudio(): Executing command: " + command,
                       "ProcessAudio(): FFMPEG Output:\n\n\n" + OutputOf(call),
                       "ProcessAudio(): FFMPEG exited with status 0.",
                       "ProcessAudio(): Completed processing audio."},
                      kEnd}));
}

TEST_F(ProcessingTest, SinglePassVideoConvertsTheRecordingToMp4) {
    WriteProfile({0, 0, 0});

    Run();

    const std::vector<std::string> call = VideoCall(Recording(), Destination(".mp4"), "");
    EXPECT_EQ(Calls(), (std::vector<std::vector<std::string>>{call}));
    EXPECT_EQ(ReadWholeFile(Destination(".mp4")),
              "standin_ffmpeg output, pass 0\n" + ReadWholeFile(Recording()));
    EXPECT_EQ(
        RunEntries(),
        Joined({kMatch,
                VideoEntries(Recording(), Recording(), Destination(".mp4"), "", OutputOf(call)),
                kEnd}));
}

TEST_F(ProcessingTest, TwoPassVideoRunsBothPassesInOrder) {
    WriteProfile({0, 0, 1});

    Run();

    const std::vector<std::string> first = VideoCall(Recording(), Destination(".mp4"), "1");
    const std::vector<std::string> second = VideoCall(Recording(), Destination(".mp4"), "2");
    EXPECT_EQ(Calls(), (std::vector<std::vector<std::string>>{first, second}));
    EXPECT_EQ(
        RunEntries(),
        Joined({kMatch,
                VideoEntries(Recording(), Recording(), Destination(".mp4"), "1", OutputOf(first)),
                VideoEntries(Recording(), Recording(), Destination(".mp4"), "2", OutputOf(second)),
                kEnd}));
}

TEST_F(ProcessingTest, StrippedCopyIsConvertedAndOnlyItsFilesAreDeleted) {
    WriteProfile({0, 1, 0});
    const std::string recordingBefore = ReadWholeFile(Recording());

    Run();

    const std::vector<std::vector<std::string>> calls = Calls();
    ASSERT_EQ(calls.size(), 3u);
    const std::vector<std::string> evtDump{ToolPath("standin_evtdump"), home.File("rec/show.evt")};
    EXPECT_EQ(calls[0], evtDump);
    ASSERT_GE(calls[2].size(), 4u);
    const std::string stripped = calls[2][3];
    EXPECT_EQ(std::filesystem::path(stripped).parent_path().string() + "/", TempPath());
    EXPECT_EQ(std::filesystem::path(stripped).filename().string().rfind("mst", 0), 0u);
    EXPECT_EQ(std::filesystem::path(stripped).extension(), ".mpg");
    const std::string rtvEditInput = "T" + stripped + "\n" + OutputOf(evtDump) + "\n";
    EXPECT_EQ(calls[1],
              Joined({{ToolPath("standin_rtvedit"), "stdin:"}, SplitLines(rtvEditInput)}));
    EXPECT_EQ(calls[2], VideoCall(stripped, Destination(".mp4"), ""));

    EXPECT_EQ(ReadWholeFile(Destination(".mp4")),
              "standin_ffmpeg output, pass 0\n0123456789the rest of the show");
    EXPECT_TRUE(std::filesystem::is_empty(TempPath()));
    EXPECT_EQ(ReadWholeFile(Recording()), recordingBefore);
    EXPECT_EQ(ReadWholeFile(home.File("rec/show.evt")), "cut 10 22\n");

    // The stripped copy is gone; put it back for a moment to see what the stand-in says.
    WriteWholeFile(stripped, "0123456789the rest of the show");
    const std::string videoOutput = OutputOf(calls[2]);
    std::filesystem::remove(stripped);
    const std::string rtvEditReport = "RTVEdit standin: wrote " + stripped + " (" +
                                      std::to_string(recordingBefore.size() - 12) +
                                      " bytes, 1 cuts)\n";
    EXPECT_EQ(RunEntries(),
              Joined({kMatch,
                      {"StripCommercials(): csAction=Archive, csMpeg=" + Recording() +
                           ", csSource=" + Recording() + ", csDest=" + stripped,
                       "StripCommercials(): Executing command: " + ToolPath("standin_evtdump") +
                           " \"" + home.File("rec/show.evt") + "\"",
                       "StripCommercials(): EVTDump exited with status 0.",
                       "StripCommercials(): rtvedit command: \n\n" + rtvEditInput,
                       "StripCommercials(): output: " + rtvEditReport,
                       "StripCommercials(): RTVEdit exited with status 0.",
                       "StripCommercials(): Completed stripping commercials"},
                      VideoEntries(stripped, Recording(), Destination(".mp4"), "", videoOutput),
                      kEnd}));
}

TEST_F(ProcessingTest, MissingTranscoderIsLoggedAndTheRunFails) {
    WriteProfile({1, 0, 0}, home.File("no-such-ffmpeg"));

    Run({}, 1);

    const std::vector<std::string> entries = RunEntries();
    ASSERT_EQ(entries.size(), 10u);
    EXPECT_EQ(entries[4], "ProcessAudio(): FFMPEG Output:\n\n\nRedirect console error: 2\r\n");
    EXPECT_EQ(std::vector<std::string>(entries.begin() + 5, entries.end()),
              Joined({{"ProcessAudio(): FFMPEG could not be started: No such file or directory.",
                       "ProcessAudio(): The audio conversion failed.",
                       "ProcessAudio(): Completed processing audio."},
                      kFailedEnd}));
    EXPECT_FALSE(FileExists(Destination(".mp3")));
}

TEST_F(ProcessingTest, TranscoderThatFailsOnItsInputIsLoggedAndTheRunFails) {
    WriteProfile({0, 0, 0});
    const std::map<std::string, std::string> failing{{"STANDIN_FFMPEG_MODE", "fail"}};

    Run(failing, 1);

    const std::vector<std::string> call = VideoCall(Recording(), Destination(".mp4"), "");
    const std::string output = OutputOf(call, failing);
    EXPECT_NE(output.find("Conversion failed!"), std::string::npos);
    EXPECT_EQ(RunEntries(),
              Joined({kMatch,
                      VideoEntries(Recording(), Recording(), Destination(".mp4"), "", output,
                                   {"ProcessVideo(): FFMPEG exited with status 1.",
                                    "ProcessVideo(): The video conversion failed."}),
                      kFailedEnd}));
    EXPECT_FALSE(FileExists(Destination(".mp4")));
}

}  // namespace
