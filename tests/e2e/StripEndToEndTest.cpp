#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>

#include "MediaTools.h"
#include "TestSupport.h"
#include "processing/ConsoleRunner.h"

// pelkar-evtdump and pelkar-rtvedit on a generated recording with a break, run with Debian's
// ffmpeg the way PELKAR runs them: EVTDump on the event file, then RTVEdit fed "T<output>",
// EVTDump's whole output and a line feed, its input left open.

namespace {

const unsigned kPatience = 120000;
// The copy starts each range at the I-frame before it and seeks half a GOP early.
const double kToleranceSeconds = 0.75;

struct SStripCase {
    const char* events;
    bool stripped;
};

std::ostream& operator<<(std::ostream& out, const SStripCase& row) {
    return out << row.events;
}

double Number(const std::string& text) {
    return std::strtod(text.c_str(), nullptr);
}

class StripEndToEnd : public ::testing::TestWithParam<SStripCase> {
protected:
    void SetUp() override {
        if (FindOnPath("ffmpeg").empty() || FindOnPath("ffprobe").empty())
            GTEST_SKIP() << "ffmpeg or ffprobe not installed";
    }

    // Makes the recording and returns the seconds of its show.
    double MakeRecording(const std::string& events) {
        const ProcessResult made =
            RunProgram({ToolPath("make_recording"), m_folder.File("show.mpg"), "720x480", events,
                        "show:20", "quietfade:1", "show:4", "break:15,10", "show:17"});
        EXPECT_EQ(made.exitStatus, 0) << made.standardError;
        double commercial = 0, length = 0;
        std::istringstream lines(made.standardOutput);
        for (std::string word; lines >> word;) {
            if (word == "commercial") {
                std::string start, end;
                lines >> start >> end;
                commercial += Number(end) - Number(start);
            } else if (word == "length") {
                lines >> word;
                length = Number(word);
            }
        }
        return length - commercial;
    }

    double Duration(const std::string& file) {
        return Number(RunProgram({FindOnPath("ffprobe"), "-v", "error", "-show_entries",
                                  "format=duration", "-of", "csv=p=0", file})
                          .standardOutput);
    }

    TempDir m_folder;
    CConsoleRunner m_runner;
};

TEST_P(StripEndToEnd, StrippedCopyLastsAsLongAsTheShowAndDecodesCleanly) {
    const double show = MakeRecording(GetParam().events);
    const double whole = Duration(m_folder.File("show.mpg"));
    ASSERT_TRUE(
        m_runner.Start(ToolPath("pelkar-evtdump") + " \"" + m_folder.File("show.evt") + "\""));
    ASSERT_TRUE(m_runner.WaitForEnd(kPatience));
    const std::string script = m_runner.GetAllOutput();
    const std::string output = m_folder.File("mst1.mpg");
    ASSERT_TRUE(m_runner.Start(ToolPath("pelkar-rtvedit")));
    ASSERT_TRUE(m_runner.WriteInput("T%s\n%s\n", output.c_str(), script.c_str()));
    ASSERT_TRUE(m_runner.WaitForEnd(kPatience));
    ASSERT_EQ(m_runner.GetExit().code, 0) << script << m_runner.GetAllOutput();

    EXPECT_NEAR(Duration(output), GetParam().stripped ? show : whole, kToleranceSeconds) << script;
    const ProcessResult decoded =
        RunProgram({FindOnPath("ffmpeg"), "-v", "error", "-i", output, "-f", "null", "-"});
    EXPECT_EQ(decoded.standardError, "");
    EXPECT_NE(ReadWholeFile(m_folder.File("show.mpg")), "");
}

// Without an event file, comskip does not judge so short a recording: all of it is kept.
INSTANTIATE_TEST_SUITE_P(EventFiles, StripEndToEnd,
                         ::testing::Values(SStripCase{"little", true}, SStripCase{"big", true},
                                           SStripCase{"none", false}),
                         [](const auto& info) { return std::string(info.param.events); });

}  // namespace
