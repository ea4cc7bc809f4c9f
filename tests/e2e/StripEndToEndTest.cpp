#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "MediaTools.h"
#include "ProfileBuilder.h"
#include "TestSupport.h"

// A post-download run with "Strip commercials" on, the tool paths at their defaults, with
// Debian's ffmpeg and comskip: PELKAR runs its own pelkar-evtdump and pelkar-rtvedit on a
// generated recording with a break, and the mp3 lasts as long as the show.

namespace {

// The copy starts each range at the I-frame before it, and the mp3 adds its own frames.
const double kToleranceSeconds = 2.5;

struct SStripCase {
    const char* events;  // the event file's byte order, or "none" for detection by comskip
    std::vector<std::string> pieces;
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
    double MakeRecording() {
        std::vector<std::string> arguments = {ToolPath("make_recording"), Recording(), "720x480",
                                              GetParam().events};
        arguments.insert(arguments.end(), GetParam().pieces.begin(), GetParam().pieces.end());
        const ProcessResult made = RunProgram(arguments);
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

    std::string Recording() const { return m_home.File("show.mpg"); }

    double Duration(const std::string& file) {
        return Number(RunProgram({FindOnPath("ffprobe"), "-v", "error", "-show_entries",
                                  "format=duration", "-of", "csv=p=0", file})
                          .standardOutput);
    }

    TempDir m_home;
};

TEST_P(StripEndToEnd, Mp3LastsAsLongAsTheShow) {
    const double show = MakeRecording();
    CAction action = MakeTitleAction("Clean", m_home.Path(), "*", true);
    action.SetStripCommercials(1);
    ProfileBuilder profile;
    profile.Action(action).Raw("tempPath", m_home.Path() + "/");
    WriteWholeFile(m_home.File("pelkar.ini"), profile.Text());

    const ProcessResult run = RunProgram(HostArguments(Recording(), "Stripped"),
                                         {{"XDG_CONFIG_HOME", m_home.Path()}});

    ASSERT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_NEAR(Duration(m_home.File("Stripped.mp3")), show, kToleranceSeconds);
}

// Comskip does not judge a recording shorter than about 5 minutes, so the one without an
// event file lasts 6.
INSTANTIATE_TEST_SUITE_P(
    EventFiles, StripEndToEnd,
    ::testing::Values(
        SStripCase{"little", {"show:20", "quietfade:1", "show:4", "break:15,10", "show:17"}},
        SStripCase{"big", {"show:20", "quietfade:1", "show:4", "break:15,10", "show:17"}},
        SStripCase{"none", {"show:170", "break:30,15,15", "show:130"}}),
    [](const auto& info) { return std::string(info.param.events); });

}  // namespace
