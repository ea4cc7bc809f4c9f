#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

#include "MediaTools.h"
#include "TestSupport.h"

namespace {

size_t Occurrences(const std::string& text, const std::string& piece) {
    size_t count = 0;
    for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1))
        ++count;
    return count;
}

// scripts/sample.sh with the programs of this build and a short recording, in a scratch folder.
class SampleJob : public ::testing::Test {
protected:
    void SetUp() override {
        ffprobe = FindOnPath("ffprobe");
        if (FindOnPath("ffmpeg").empty() || ffprobe.empty())
            GTEST_SKIP() << "ffmpeg or ffprobe not installed";
    }

    ProcessResult RunSample() {
        const ProcessResult result = RunProgram(
            {"/bin/bash", std::string(PELKAR_SOURCE_DIR) + "/scripts/sample.sh", "--no-build"},
            {{"PELKAR_BIN_DIR", PELKAR_TOOLS_DIR},
             {"PELKAR_SAMPLE_DIR", sample.Path()},
             {"PELKAR_SAMPLE_SECONDS", "8"},
             {"TMPDIR", sample.Path()}});
        EXPECT_EQ(result.exitStatus, 0) << result.standardOutput << result.standardError;
        return result;
    }

    // The path the script printed after "<label>: ".
    static std::string Printed(const ProcessResult& result, const std::string& label) {
        for (const std::string& line : SplitLines(result.standardOutput)) {
            if (line.rfind(label + ": ", 0) == 0) return line.substr(label.size() + 2);
        }
        return std::string();
    }

    std::vector<std::string> Streams(const std::string& file) {
        return ProbeStreams(ffprobe, file);
    }

    TempDir sample;
    std::string ffprobe;
};

TEST_F(SampleJob, EachRecordingIsConvertedByItsFirstMatchingActionOnly) {
    const ProcessResult result = RunSample();
    const std::string mp3 = Printed(result, "mp3");
    const std::string mp4 = Printed(result, "mp4");
    EXPECT_EQ(mp3, sample.File("out/Radio Play.mp3"));
    EXPECT_EQ(mp4, sample.File("out/Late Movie.mp4"));
    EXPECT_EQ(Streams(mp3), std::vector<std::string>{"mp3,audio,24000,2"});
    EXPECT_EQ(Streams(mp4), (std::vector<std::string>{"mpeg4,video,320,240", "aac,audio,24000,2"}));
    // The first recording matches the video action too, which comes second and so never runs.
    EXPECT_FALSE(FileExists(sample.File("out/Radio Play.mp4")));

    const std::string log = ReadWholeFile(Printed(result, "log"));
    EXPECT_EQ(Occurrences(log, "ProcessAudio(): Completed processing audio."), 2u);
    // The break recording holds 42 s of show; the mp3 of its stripped copy lasts as long.
    const std::string stripped = sample.File("out/Stripped Show.mp3");
    const std::string duration = RunProgram({ffprobe, "-v", "error", "-show_entries",
                                             "format=duration", "-of", "csv=p=0", stripped})
                                     .standardOutput;
    EXPECT_NEAR(std::strtod(duration.c_str(), nullptr), 42.0, 2.5);
    EXPECT_NE(log.find(", iPass=1"), std::string::npos);
    EXPECT_NE(log.find(", iPass=2"), std::string::npos);
    EXPECT_EQ(Occurrences(log, "ProcessVideo(): Completed processing video."), 2u);
}

// The sample leaves FFMPEG at its default: the front end beside pelkar, which cleans up after
// the second pass in the temporary folder it was given.
TEST_F(SampleJob, DefaultFfmpegIsTheFrontEndAndNoPassLogIsLeft) {
    const ProcessResult result = RunSample();
    const std::string log = ReadWholeFile(Printed(result, "log"));
    EXPECT_EQ(Occurrences(log, "ProcessVideo(): Executing command: pelkar-ffmpeg -y -i "), 2u);
    EXPECT_NE(log.find("Stream mapping"), std::string::npos);
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(sample.Path())) {
        const std::string name = entry.path().filename().string();
        if (name.find("pelkar-ffmpeg") != std::string::npos) left.push_back(name);
    }
    EXPECT_EQ(left, std::vector<std::string>());
}

TEST_F(SampleJob, RerunKeepsTheRecordingAndReplacesEarlierResults) {
    RunSample();
    struct stat first {};
    ASSERT_EQ(stat(sample.File("recording.mpg").c_str(), &first), 0);
    WriteWholeFile(sample.File("out/stale.mp4"), "left over");

    const ProcessResult again = RunSample();
    struct stat second {};
    ASSERT_EQ(stat(sample.File("recording.mpg").c_str(), &second), 0);
    EXPECT_EQ(second.st_mtim.tv_sec, first.st_mtim.tv_sec);
    EXPECT_EQ(second.st_mtim.tv_nsec, first.st_mtim.tv_nsec);
    EXPECT_FALSE(FileExists(sample.File("out/stale.mp4")));
    EXPECT_EQ(Streams(Printed(again, "mp4")),
              (std::vector<std::string>{"mpeg4,video,320,240", "aac,audio,24000,2"}));
    const std::string log = ReadWholeFile(Printed(again, "log"));
    EXPECT_EQ(Occurrences(log, "ProcessVideo(): Completed processing video."), 2u);
}

}  // namespace
