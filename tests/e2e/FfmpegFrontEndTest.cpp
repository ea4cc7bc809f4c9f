#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <tuple>

#include "../../tools/ffmpeg-frontend/FfmpegArguments.h"
#include "../../tools/ffmpeg-frontend/WindowsCommandLine.h"
#include "MediaTools.h"
#include "TestSupport.h"
#include "processing/CommandLineSplit.h"

namespace {

// A command line split at its spaces (the test paths hold none).
std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

std::vector<std::string> AudioCommand(const std::string& source, const std::string& dest) {
    return Words("-y -i " + source + " -acodec mp3 -ac 2 -ab 48 -ar 24000 -vol 130 " + dest);
}

std::vector<std::string> VideoCommand(const std::string& source, const std::string& dest,
                                      int pass) {
    const std::string passOption = pass > 0 ? " -pass " + std::to_string(pass) : "";
    return Words("-y -i " + source + passOption +
                 " -bitexact -vcodec xvid -s 320x240 -b 384 -minrate 32 -maxrate 400 -bt 16"
                 " -r 29.97 -acodec aac -ac 2 -ab 48 -ar 24000 -vol 130 -f psp " +
                 dest);
}

EncoderQuery Offering(std::vector<std::string> encoders) {
    return [encoders](const std::string& name) {
        return std::find(encoders.begin(), encoders.end(), name) != encoders.end();
    };
}

// The process that asks for the conversions translated here.
const long kParent = 4321;

class FfmpegArgumentTranslation : public ::testing::Test {
protected:
    std::vector<std::string> Translate(const std::vector<std::string>& classic) {
        return TranslateArguments(classic, Offering({"libxvid", "libmp3lame", "aac"}), "/logs",
                                  kParent);
    }
};

TEST_F(FfmpegArgumentTranslation, AudioCommandGetsLameEncoderKilobitRateAndVolumeFilter) {
    EXPECT_EQ(Translate(AudioCommand("/rec/show.mpg", "/out/show.mp3")),
              Words("-nostdin -y -i /rec/show.mpg -c:a libmp3lame -ac 2 -b:a 48k -ar 24000"
                    " -af volume=130/256 /out/show.mp3"));
}

TEST_F(FfmpegArgumentTranslation, SinglePassVideoCommandGetsTodaysOptionsAndNoPassLog) {
    EXPECT_EQ(Translate(VideoCommand("/rec/show.mpg", "/out/show.mp4", 0)),
              Words("-nostdin -y -i /rec/show.mpg -bitexact -c:v libxvid -s 320x240 -b:v 384k"
                    " -minrate 32k -maxrate 400k -bufsize 400k -bt 16k -r 29.97 -c:a aac -ac 2"
                    " -b:a 48k -ar 24000 -af volume=130/256 -f psp /out/show.mp4"));
}

TEST_F(FfmpegArgumentTranslation, PassNamesALogFileInTheGivenFolderRightAfterIt) {
    const std::vector<std::string> modern =
        Translate(VideoCommand("/rec/show.mpg", "/out/show.mp4", 2));
    const auto pass = std::find(modern.begin(), modern.end(), "-pass");
    ASSERT_NE(pass, modern.end());
    ASSERT_GE(modern.end() - pass, 4);
    EXPECT_EQ(pass[1], "2");
    EXPECT_EQ(pass[2], "-passlogfile");
    EXPECT_EQ(pass[3], PassLogPrefix("/logs", kParent, "/out/show.mp4"));
    EXPECT_EQ(pass[3].rfind("/logs/pelkar-ffmpeg-4321-", 0), 0u);
}

TEST_F(FfmpegArgumentTranslation, BothPassesOfOneDestinationShareTheirPassLog) {
    const std::vector<std::string> first = Translate(VideoCommand("/a.mpg", "/out/a.mp4", 1));
    const std::vector<std::string> second = Translate(VideoCommand("/a.mpg", "/out/a.mp4", 2));
    const auto log = [](const std::vector<std::string>& modern) {
        return *(std::find(modern.begin(), modern.end(), "-passlogfile") + 1);
    };
    EXPECT_EQ(log(first), log(second));
}

TEST_F(FfmpegArgumentTranslation, DifferentConversionsGetDifferentPassLogs) {
    EXPECT_NE(PassLogPrefix("/tmp", 7, "/out/a.mp4"), PassLogPrefix("/tmp", 7, "/out/b.mp4"));
    EXPECT_NE(PassLogPrefix("/tmp", 7, "/out/show.mp4"),
              PassLogPrefix("/tmp", 7, "/other/show.mp4"));
    EXPECT_NE(PassLogPrefix("/tmp", 7, "/out/show.mp4"), PassLogPrefix("/tmp", 8, "/out/show.mp4"));
}

TEST_F(FfmpegArgumentTranslation, XvidFallsBackToNativeMpeg4WhenLibxvidIsMissing) {
    const std::vector<std::string> modern =
        TranslateArguments(VideoCommand("/a.mpg", "/a.mp4", 0), Offering({"mpeg4", "aac"}), "/t", 1);
    const auto codec = std::find(modern.begin(), modern.end(), "-c:v");
    ASSERT_NE(codec, modern.end());
    EXPECT_EQ(codec[1], "mpeg4");
}

TEST_F(FfmpegArgumentTranslation, Mp3KeepsGenericCodecNameWhenLameIsMissing) {
    const std::vector<std::string> modern =
        TranslateArguments(AudioCommand("/a.mpg", "/a.mp3"), Offering({"libshine"}), "/t", 1);
    const auto codec = std::find(modern.begin(), modern.end(), "-c:a");
    ASSERT_NE(codec, modern.end());
    EXPECT_EQ(codec[1], "mp3");
}

// The transcoder reads a name that begins with "-" as an option unless it is written as a path.
TEST_F(FfmpegArgumentTranslation, PathsThatLookLikeOptionsStayPaths) {
    EXPECT_EQ(Translate({"-i", "-vol", "-ab", "48", "out.mp3"}),
              Words("-nostdin -i ./-vol -b:a 48k out.mp3"));
    EXPECT_EQ(Translate({"-i", "in.mpg", "-f", "psp", "-out/show.mp4"}),
              Words("-nostdin -i in.mpg -f psp ./-out/show.mp4"));
}

TEST_F(FfmpegArgumentTranslation, RatesThatAlreadyCarryAUnitAndUnknownOptionsPassThrough) {
    EXPECT_EQ(Translate(Words("-b 2M -ab 1.5 -threads 2 -vcodec h264 -an out.mp4")),
              Words("-nostdin -b:v 2M -b:a 1.5k -threads 2 -c:v h264 -an out.mp4"));
}

TEST_F(FfmpegArgumentTranslation, OptionWithoutValueAtTheEndIsKept) {
    EXPECT_EQ(Translate({"-y", "-vol"}), Words("-nostdin -y -vol"));
}

TEST(FfmpegEncoderListing, ListedNamesAreFoundAndTheLegendIsSkipped) {
    const std::string listing =
        "Encoders:\n"
        " V..... = Video\n"
        " A..... = Audio\n"
        " ------\n"
        " V..... libxvid              libxvidcore MPEG-4 part 2 (codec mpeg4)\n"
        " A....D libmp3lame           libmp3lame MP3 (MPEG audio layer 3) (codec mp3)\n";
    EXPECT_EQ(ParseEncoderNames(listing), Words("libxvid libmp3lame"));
    EXPECT_TRUE(ParseEncoderNames("").empty());
}

// What the Windows front end hands to CreateProcess must split back into the same arguments.
TEST(WindowsCommandLineTest, JoinedArgumentsSplitBackUnchanged) {
    const std::vector<std::vector<std::string>> cases = {
        {"ffmpeg.exe", "-y", "-i", "C:\\rec\\show.mpg", "C:\\out\\show.mp4"},
        {"C:\\Program Files\\ffmpeg\\ffmpeg.exe", "-i", "C:\\my recordings\\late show.mpg"},
        {"ffmpeg.exe", "", "say \"hi\"", "tab\there", "new\nline"},
        {"ffmpeg.exe", "C:\\dir\\", "C:\\my dir\\", "a\\\"b", "a\\\\\"b c", "\\\\server\\share"},
        {"ffmpeg.exe", "-af", "volume=130/256", "-passlogfile", "C:\\Temp/pelkar-ffmpeg-0123"},
    };
    for (const std::vector<std::string>& arguments : cases) {
        const std::string line = JoinWindowsCommandLine(arguments);
        EXPECT_EQ(SplitWindowsCommandLine(line), arguments) << line;
    }
}

TEST(WindowsCommandLineTest, PlainArgumentsStayUnquoted) {
    EXPECT_EQ(JoinWindowsCommandLine({"ffmpeg.exe", "-y", "-b:v", "384k", "C:\\out\\a.mp4"}),
              "ffmpeg.exe -y -b:v 384k C:\\out\\a.mp4");
}

// The front end run as PELKAR runs it, against a stand-in transcoder that prints its argv.
class FfmpegFrontEndProgram : public ::testing::Test {
protected:
    void SetUp() override {
        WriteWholeFile(FakeTranscoder(),
                       "#!/bin/sh\n"
                       "if [ \"$2\" = -encoders ]; then\n"
                       "  echo asked >> \"$FAKE_QUERIES\"\n"
                       "  printf 'Encoders:\\n V..... = Video\\n ------\\n%s\\n' "
                       "\"$FAKE_ENCODERS\"\n"
                       "  exit 0\n"
                       "fi\n"
                       "previous=\n"
                       "for argument in \"$@\"; do\n"
                       "  printf '%s\\n' \"$argument\"\n"
                       "  if [ \"$previous\" = -passlogfile ]; then\n"
                       "    : > \"$argument-0.log\"; : > \"$argument-0.log.mbtree\"\n"
                       "  fi\n"
                       "  previous=$argument\n"
                       "done\n"
                       "echo progress on stderr >&2\n"
                       "exit ${FAKE_STATUS:-3}\n");
        chmod(FakeTranscoder().c_str(), 0755);
    }

    std::string FakeTranscoder() const { return home.File("fake-ffmpeg"); }

    // Started by the launcher's program when one is given, rather than by this process.
    ProcessResult Run(const std::vector<std::string>& classic, const std::string& encoders,
                      const std::string& status = "3", std::vector<std::string> launcher = {}) {
        std::vector<std::string> arguments = std::move(launcher);
        arguments.push_back(ToolPath("pelkar-ffmpeg"));
        arguments.insert(arguments.end(), classic.begin(), classic.end());
        return RunProgram(arguments, {{"PELKAR_FFMPEG", FakeTranscoder()},
                                      {"FAKE_ENCODERS", encoders},
                                      {"FAKE_QUERIES", home.File("queries")},
                                      {"FAKE_STATUS", status},
                                      {"TMPDIR", home.Path()}});
    }

    TempDir home;
};

TEST_F(FfmpegFrontEndProgram, RunsTranscoderWithTranslatedArgumentsInItsOwnPlace) {
    const std::vector<std::string> classic = VideoCommand("/rec/show.mpg", "/out/show.mp4", 1);
    const ProcessResult result = Run(classic, " V..... libxvid  Xvid");
    std::vector<std::string> expected =
        TranslateArguments(classic, Offering({"libxvid"}), home.Path(), getpid());
    EXPECT_EQ(SplitLines(result.standardOutput), expected);
    EXPECT_EQ(result.standardError, "progress on stderr\n");
    EXPECT_EQ(result.exitStatus, 3);
}

TEST_F(FfmpegFrontEndProgram, AsksForTheEncodersOnceAndHonoursTheAnswer) {
    const ProcessResult result =
        Run(VideoCommand("/rec/show.mpg", "/out/show.mp4", 0), " A..... libmp3lame  lame");
    EXPECT_EQ(ReadWholeFile(home.File("queries")), "asked\n");
    const std::vector<std::string> modern = SplitLines(result.standardOutput);
    const auto codec = std::find(modern.begin(), modern.end(), "-c:v");
    ASSERT_NE(codec, modern.end());
    EXPECT_EQ(codec[1], "mpeg4");
}

TEST_F(FfmpegFrontEndProgram, VersionNamesTheFrontEndThenAsksTheTranscoder) {
    const ProcessResult result = Run({"--version"}, "", "0");
    EXPECT_EQ(result.standardOutput, "PELKAR 0.5\n-version\n");
    EXPECT_EQ(result.exitStatus, 0);
}

TEST_F(FfmpegFrontEndProgram, CommandWithoutRenamedCodecsAsksForNoEncoders) {
    Run(Words("-y -i /rec/show.mpg -acodec aac -ab 48 /out/show.m4a"), "");
    EXPECT_FALSE(FileExists(home.File("queries")));
}

struct PassLogCase {
    const char* name;
    int pass;
    const char* status;
    bool removed;
};

class FfmpegFrontEndPassLog : public FfmpegFrontEndProgram,
                              public ::testing::WithParamInterface<PassLogCase> {};

// Pass 1 leaves its statistics for pass 2; pass 2 or a failed pass takes them away, and only
// those of its own conversion: not those of another destination, nor those of the same
// destination converted for another process at the same time.
TEST_P(FfmpegFrontEndPassLog, PassLogIsRemovedOnlyWhenNoPassWillReadIt) {
    const std::string prefix = PassLogPrefix(home.Path(), getpid(), "/out/show.mp4");
    WriteWholeFile(PassLogPrefix(home.Path(), getpid(), "/out/other.mp4") + "-0.log", "other");
    Run(VideoCommand("/rec/b.mpg", "/out/show.mp4", 1), " V..... libxvid  Xvid", "0",
        {"/bin/sh", "-c", "\"$@\"; exit $?", "sh"});
    std::vector<std::string> others;
    for (const auto& file : std::filesystem::directory_iterator(home.Path()))
        others.push_back(file.path().string());
    // Its two pass log files, the other destination's, the queries and the fake transcoder.
    ASSERT_EQ(others.size(), 5u);
    const ProcessResult result =
        Run(VideoCommand("/rec/show.mpg", "/out/show.mp4", GetParam().pass),
            " V..... libxvid  Xvid", GetParam().status);
    EXPECT_EQ(result.exitStatus, std::atoi(GetParam().status));
    EXPECT_EQ(FileExists(prefix + "-0.log"), !GetParam().removed);
    EXPECT_EQ(FileExists(prefix + "-0.log.mbtree"), !GetParam().removed);
    for (const std::string& file : others) EXPECT_TRUE(FileExists(file)) << file;
}

INSTANTIATE_TEST_SUITE_P(Passes, FfmpegFrontEndPassLog,
                         ::testing::Values(PassLogCase{"FirstPassDone", 1, "0", false},
                                           PassLogCase{"FirstPassFailed", 1, "1", true},
                                           PassLogCase{"SecondPassDone", 2, "0", true},
                                           PassLogCase{"SecondPassFailed", 2, "1", true}),
                         [](const ::testing::TestParamInfo<PassLogCase>& info) {
                             return info.param.name;
                         });

// A request to end the front end reaches the transcoder, and the front end ends with 128 + the
// signal's number, whether the transcoder ends by the signal or catches it and ends with a
// status of its own, as ffmpeg does (255).
class FfmpegFrontEndSignal : public ::testing::TestWithParam<std::tuple<int, bool>> {
protected:
    TempDir home;
};

TEST_P(FfmpegFrontEndSignal, SignalGoesToTheTranscoderAndEndsTheFrontEndByIt) {
    const int signalNumber = std::get<0>(GetParam());
    const std::string fake = home.File("slow-ffmpeg");
    const std::string ready = home.File("ready");
    const bool catches = std::get<1>(GetParam());
    WriteWholeFile(fake, std::string("#!/bin/sh\n") +
                             (catches ? "trap 'kill $!; exit 255' TERM INT\n" : "") +
                             "echo $$ > \"$READY.new\"\nmv \"$READY.new\" \"$READY\"\n" +
                             (catches ? "sleep 30 & wait\n" : "exec sleep 30\n"));
    chmod(fake.c_str(), 0755);
    const std::string frontEnd = ToolPath("pelkar-ffmpeg");
    const pid_t child = fork();
    if (child == 0) {
        setenv("PELKAR_FFMPEG", fake.c_str(), 1);
        setenv("READY", ready.c_str(), 1);
        execl(frontEnd.c_str(), frontEnd.c_str(), "-y", "-i", "a.mpg", "a.mp3", nullptr);
        _exit(126);
    }
    for (int wait = 0; wait < 1000 && !FileExists(ready); ++wait) usleep(10000);
    ASSERT_TRUE(FileExists(ready));
    const pid_t transcoder = std::atoi(ReadWholeFile(ready).c_str());
    kill(child, signalNumber);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the front end itself was ended";
    EXPECT_EQ(WEXITSTATUS(status), 128 + signalNumber);
    EXPECT_NE(kill(transcoder, 0), 0);
}

INSTANTIATE_TEST_SUITE_P(TermAndInt, FfmpegFrontEndSignal,
                         ::testing::Combine(::testing::Values(SIGTERM, SIGINT),
                                            ::testing::Bool()));

TEST_F(FfmpegFrontEndProgram, MissingTranscoderIsReportedWithFailureStatus) {
    const ProcessResult result =
        RunProgram({ToolPath("pelkar-ffmpeg"), "-y", "-i", "a.mpg", "a.mp3"},
                   {{"PELKAR_FFMPEG", home.File("no-such-ffmpeg")}});
    EXPECT_EQ(result.exitStatus, 127);
    EXPECT_NE(result.standardError.find("pelkar-ffmpeg: cannot run"), std::string::npos);
}

// The front end in front of Debian's ffmpeg, on a short generated recording.
class FfmpegFrontEndWithRealTranscoder : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ffmpeg = FindOnPath("ffmpeg");
        ffprobe = FindOnPath("ffprobe");
        if (ffmpeg.empty() || ffprobe.empty()) return;
        scratch = std::make_unique<TempDir>();
        RunProgram({ffmpeg, "-nostdin", "-loglevel", "error", "-f", "lavfi", "-i",
                    "testsrc=duration=3:size=640x480:rate=30", "-f", "lavfi", "-i",
                    "sine=duration=3", "-c:v", "mpeg2video", "-c:a", "mp2", "-f", "mpeg", Clip()});
    }

    static void TearDownTestSuite() { scratch.reset(); }

    void SetUp() override {
        if (ffmpeg.empty() || ffprobe.empty()) GTEST_SKIP() << "ffmpeg or ffprobe not installed";
        ASSERT_TRUE(FileExists(Clip()));
    }

    static std::string Clip() { return scratch->File("clip.mpg"); }

    ProcessResult Convert(const std::vector<std::string>& classic) {
        std::vector<std::string> arguments{ToolPath("pelkar-ffmpeg")};
        arguments.insert(arguments.end(), classic.begin(), classic.end());
        return RunProgram(arguments, {{"TMPDIR", logs.Path()}});
    }

    std::vector<std::string> Streams(const std::string& file) {
        return ProbeStreams(ffprobe, file);
    }

    TempDir output;
    TempDir logs;
    static std::string ffmpeg;
    static std::string ffprobe;
    static std::unique_ptr<TempDir> scratch;
};

std::string FfmpegFrontEndWithRealTranscoder::ffmpeg;
std::string FfmpegFrontEndWithRealTranscoder::ffprobe;
std::unique_ptr<TempDir> FfmpegFrontEndWithRealTranscoder::scratch;

TEST_F(FfmpegFrontEndWithRealTranscoder, AudioCommandWritesStereoMp3) {
    const std::string mp3 = output.File("show.mp3");
    const ProcessResult result = Convert(AudioCommand(Clip(), mp3));
    EXPECT_EQ(result.exitStatus, 0) << result.standardError;
    EXPECT_EQ(Streams(mp3), Words("mp3,audio,24000,2"));
}

TEST_F(FfmpegFrontEndWithRealTranscoder, SinglePassWritesSmallMp4AndKeepsProgressLines) {
    const std::string mp4 = output.File("show.mp4");
    const ProcessResult result = Convert(VideoCommand(Clip(), mp4, 0));
    EXPECT_EQ(result.exitStatus, 0) << result.standardError;
    EXPECT_NE(result.standardError.find("Duration: 00:00:03"), std::string::npos);
    EXPECT_NE(result.standardError.find("frame="), std::string::npos);
    EXPECT_EQ(Streams(mp4), Words("mpeg4,video,320,240 aac,audio,24000,2"));
}

TEST_F(FfmpegFrontEndWithRealTranscoder, TwoPassesWriteSmallMp4ThroughTheirOwnPassLog) {
    const std::string mp4 = output.File("show.mp4");
    const ProcessResult first = Convert(VideoCommand(Clip(), mp4, 1));
    EXPECT_EQ(first.exitStatus, 0) << first.standardError;
    EXPECT_TRUE(FileExists(PassLogPrefix(logs.Path(), getpid(), mp4) + "-0.log"));
    const ProcessResult second = Convert(VideoCommand(Clip(), mp4, 2));
    EXPECT_EQ(second.exitStatus, 0) << second.standardError;
    EXPECT_EQ(Streams(mp4), Words("mpeg4,video,320,240 aac,audio,24000,2"));
    EXPECT_TRUE(std::filesystem::is_empty(logs.Path()));
}

}  // namespace
