#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "BreakFinder.h"
#include "Comskip.h"
#include "EditScript.h"
#include "EventFile.h"
#include "StreamCopy.h"
#include "TestSupport.h"
#include "processing/ConsoleRunner.h"

// pelkar-evtdump's reading of event files, and pelkar-rtvedit run as PELKAR runs it: its
// refusals of input it cannot carry out, and a copy with the stand-in FFMPEG.

namespace {

const unsigned kPatience = 20000;
const double kFrame = 1001.0 / 30000;
const double kAudioInterval = 0.024;

// The records of moments of black picture and silence (each 0.4 s long), and of fades that
// are black only.
std::vector<SEventRecord> Records(const std::vector<double>& quietBlack,
                                  const std::vector<double>& blackOnly = {}) {
    std::vector<SEventRecord> records;
    const auto add = [&records](double at, double step, EEventKind kind) {
        for (double t = at + step; t <= at + 0.4; t += step) records.push_back({t, kind, 16});
    };
    for (double at : quietBlack) {
        add(at, kFrame, EEventKind::Video);
        add(at, kAudioInterval, EEventKind::Audio);
    }
    for (double at : blackOnly) add(at, kFrame, EEventKind::Video);
    std::stable_sort(
        records.begin(), records.end(),
        [](const SEventRecord& a, const SEventRecord& b) { return a.seconds < b.seconds; });
    return records;
}

// A break of two 15 s spots and one 30 s spot from 100 s, and a fade with sound in the show.
std::string BreakFile(bool bigEndian) {
    return EncodeEventFile(Records({100, 115, 130, 160}, {300}), bigEndian);
}

struct SEventFileCase {
    const char* name;
    std::function<std::string()> bytes;
    bool usable;
    size_t breaks;
    size_t loneFades;
    const char* note;
};

std::ostream& operator<<(std::ostream& out, const SEventFileCase& row) {
    return out << row.name;
}

const SEventFileCase kEventFiles[] = {
    {"LittleEndian", [] { return BreakFile(false); }, true, 1, 0, "little-endian"},
    {"BigEndian", [] { return BreakFile(true); }, true, 1, 0, "big-endian"},
    {"TruncatedLastRecord",
     [] {
         const std::string whole = BreakFile(true);
         return whole.substr(0, whole.size() - 10);
     },
     true, 1, 0, "cut short"},
    {"HeaderCutShort", [] { return BreakFile(false).substr(0, 6); }, false, 0, 0, "weas"},
    {"WrongHeader", [] { return "wees" + BreakFile(false).substr(4); }, false, 0, 0, "weas"},
    {"WrongVersion",
     [] {
         std::string bytes = BreakFile(false);
         bytes[4] = 2;
         return bytes;
     },
     false, 0, 0, "version"},
    {"NoEvents", [] { return EncodeEventFile({}, false); }, false, 0, 0, "no events"},
    {"LoneFadeWithSilence", [] { return EncodeEventFile(Records({200}, {400}), false); }, true, 0,
     1, "events"},
    {"RecordsOutOfOrder",
     [] {
         std::string bytes = BreakFile(false);
         std::swap_ranges(bytes.begin() + 8, bytes.begin() + 32, bytes.begin() + 32);
         return bytes;
     },
     false, 0, 0, "goes back in time"},
    {"NotEventRecords",
     [] {
         std::string bytes = BreakFile(true);
         bytes[8 + 24 + 8] = 0;
         return bytes;
     },
     false, 0, 0, "not an event"},
    {"OneSpotIsNoBreak",
     [] {
         return EncodeEventFile(Records({100, 130}), false);
     },
     true, 0, 0, "events"},
    {"LongerThanSixMinutesIsNoBreak",
     [] {
         std::vector<double> moments;
         for (int spot = 0; spot <= 13; ++spot) moments.push_back(60 + 30.0 * spot);
         return EncodeEventFile(Records(moments), false);
     },
     true, 0, 0, "events"},
};

class EventFileReading : public ::testing::TestWithParam<SEventFileCase> {};

TEST_P(EventFileReading, UsesOnlyFilesThatCheckOutAndFindsTheirBreaks) {
    const SEventFileCase& row = GetParam();
    const SEventFile file = ReadEventFile(row.bytes());
    EXPECT_EQ(file.usable, row.usable) << file.note;
    EXPECT_NE(file.note.find(row.note), std::string::npos) << file.note;
    if (!file.usable) return;
    const SBreakFindings findings = FindBreaks(file.records);
    ASSERT_EQ(findings.breaks.size(), row.breaks);
    EXPECT_EQ(findings.loneFades.size(), row.loneFades);
    if (row.breaks == 1) {
        EXPECT_NEAR(findings.breaks[0].span.start, 100, 0.05);
        EXPECT_NEAR(findings.breaks[0].span.end, 160.4, 0.05);
        EXPECT_EQ(findings.breaks[0].spots, 3);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, EventFileReading, ::testing::ValuesIn(kEventFiles),
                         [](const auto& info) { return std::string(info.param.name); });

// A break comskip found, and the moments of black and silence (each 0.4 s long) around it.
struct STrimCase {
    const char* name;
    SSpan found;
    std::vector<double> moments;
    SSpan kept;
    size_t loneFades;
};

std::ostream& operator<<(std::ostream& out, const STrimCase& row) {
    return out << row.name;
}

const STrimCase kTrims[] = {
    {"FadeBeforeTheBreak", {94.2, 160.2}, {94, 100, 115, 130, 160}, {100.2, 160.2}, 1},
    {"TwoFadesAfterTheBreak", {100.2, 172.2}, {100, 115, 130, 160, 166, 172}, {100.2, 160.2}, 2},
    {"EdgesOnSpots", {100.2, 160.2}, {40, 100, 115, 130, 160, 220}, {100.2, 160.2}, 0},
    {"NoSpotGapStaysAsFound", {100.2, 113.2}, {100, 106, 113}, {100.2, 113.2}, 0},
    {"NoMomentsStaysAsFound", {100, 160}, {}, {100, 160}, 0},
};

class ComskipBreakTrim : public ::testing::TestWithParam<STrimCase> {};

TEST_P(ComskipBreakTrim, LeavesOutFadesNoSpotLengthFromTheBreak) {
    const STrimCase& row = GetParam();
    std::vector<SSpan> moments;
    for (double at : row.moments) moments.push_back({at, at + 0.4});
    const STrimmedBreak trimmed = TrimLoneFades(row.found, moments);
    EXPECT_NEAR(trimmed.span.start, row.kept.start, 0.01);
    EXPECT_NEAR(trimmed.span.end, row.kept.end, 0.01);
    EXPECT_EQ(trimmed.loneFades.size(), row.loneFades);
}

INSTANTIATE_TEST_SUITE_P(Table, ComskipBreakTrim, ::testing::ValuesIn(kTrims),
                         [](const auto& info) { return std::string(info.param.name); });

// comskip's table of frames, a frame each half second: "-" show, "q" black and silent,
// "b" black with sound, "s" silent with picture.
std::string FrameTable(const std::string& frames) {
    std::string table =
        "sep=,\nframe,brightness,scene_change,logo,uniform,sound,minY,MaxY,ar_ratio,goodEdge,"
        "isblack,cutscene, MinX, MaxX, hasBright, Dimcount,PTS,29.970030\n";
    for (size_t i = 0; i < frames.size(); ++i) {
        const bool black = frames[i] == 'q' || frames[i] == 'b';
        const bool silent = frames[i] == 'q' || frames[i] == 's';
        table += std::to_string(i + 1) + (black ? ",16" : ",126") + ",0,0,0," +
                 (silent ? "0" : "1850") + ",10,470,1.51,0," + (black ? "16" : "0") +
                 ",100,10,710,0,0," + std::to_string(i * 0.5) + ",0,2\r\n";
    }
    return table;
}

TEST(ComskipFrameTable, BlackStretchesWithSilenceLastToTheNextFrame) {
    const struct {
        std::string table;
        std::vector<double> startEnd;
    } rows[] = {
        {FrameTable("--qqq-bb-bqb-ss-q"), {1, 2.5, 4.5, 6, 8, 8}},
        {FrameTable("qq-").substr(FrameTable("").size()), {}},
    };
    for (const auto& row : rows) {
        std::vector<double> startEnd;
        for (const SSpan& stretch : ParseQuietBlackStretches(row.table)) {
            startEnd.push_back(stretch.start);
            startEnd.push_back(stretch.end);
        }
        EXPECT_EQ(startEnd, row.startEnd) << row.table;
    }
}

TEST(EditScriptText, KeepRangesAroundTheBreaksReadBackAsWritten) {
    SEditScript script;
    script.source = "/rec/a show.mpg";
    script.comments = {"method: test"};
    script.keep = KeepRangesOutside({{100, 160.4}, {900.25, 1000}});
    const std::string text = FormatEditScript(script);
    EXPECT_EQ(text,
              "pelkar-edit 1\nsource /rec/a show.mpg\n# method: test\nkeep 0.000 100.000\n"
              "keep 160.400 900.250\nkeep 1000.000 -\nend\n");
    std::istringstream input("T/tmp/out.mpg\r\n" + text + "\nnever read\n");
    SEditRequest request;
    std::string reason;
    ASSERT_TRUE(ReadEditRequest(input, &request, &reason)) << reason;
    EXPECT_EQ(request.output, "/tmp/out.mpg");
    EXPECT_EQ(FormatEditScript(request.script), text);
}

// Video packets listed as the cut's keyframe listing shows them: a forward-predicted frame
// with its presentation time, a keyframe without one, a keyframe with one.
const char kPredicted[] = "0,  90000,  99009, 3003, 100, 0x0, F=0x0\n";
const char kKeyframes[] =
    "0, 108018, -9223372036854775808, 3003, 100, 0x0\n0, 153063, 162072, 3003, 100, 0x0\n";

struct SCutStartCase {
    const char* name;
    std::string packets;
    double rangeStart;
    SCutStart expected;
};

std::ostream& operator<<(std::ostream& out, const SCutStartCase& row) {
    return out << row.name;
}

const SCutStartCase kCutStarts[] = {
    {"KeyframeWithoutTimeAfterOneWithIt",
     std::string(kPredicted) + kKeyframes,
     1.0,
     {0.483, 0.200, 9009}},
    {"KeyframeWithTime", std::string(kPredicted) + kKeyframes, 1.301, {1.184, 0, 0}},
    {"KeyframeWithinHalfAFrameAfter", std::string(kPredicted) + kKeyframes, 1.29, {1.184, 0, 0}},
    {"KeyframeMoreThanHalfAFrameAfter",
     std::string(kPredicted) + kKeyframes,
     1.28,
     {0.483, 0.200, 9009}},
    {"NoneShownByTheStart", std::string(kPredicted) + kKeyframes, 0.7, {-1, 0, 0}},
    {"NoneWithTimeBefore", kKeyframes, 1.0, {-1, 0, 0}},
};

class CutStart : public ::testing::TestWithParam<SCutStartCase> {};

TEST_P(CutStart, BeginsAtTheLastKeyframeShownByTheRangeStartAndGivesItItsTime) {
    const SCutStartCase& row = GetParam();
    const SSourceStart start{0.5, 0.5};
    const SCutStart cut =
        KeyframeSeek("#tb 0: 1/90000\n#media_type 0: video\n" + row.packets, start, row.rangeStart);
    EXPECT_NEAR(cut.seek, row.expected.seek, 0.001);
    EXPECT_NEAR(cut.skip, row.expected.skip, 0.001);
    EXPECT_EQ(cut.presentationDelay, row.expected.presentationDelay);
    const std::vector<std::string> command =
        CutCommand("ffmpeg", "in.mpg", {row.rangeStart, 60, false}, start, cut, 0, "out.mpg");
    const bool timed = std::find(command.begin(), command.end(),
                                 "setts=pts=if(eq(N\\,0)\\,DTS+9009\\,PTS)") != command.end();
    EXPECT_EQ(timed, row.expected.presentationDelay > 0);
}

INSTANTIATE_TEST_SUITE_P(Table, CutStart, ::testing::ValuesIn(kCutStarts),
                         [](const auto& info) { return std::string(info.param.name); });

// pelkar-rtvedit started and fed as PELKAR does it; the input stays open unless closed.
class RtvEditRun : public ::testing::Test {
protected:
    void SetUp() override {
        WriteWholeFile(Source(), "a recording");
        SetEnvironment("PELKAR_FFMPEG", ToolPath("standin_ffmpeg"));
    }
    void TearDown() override { UnsetEnvironment("PELKAR_FFMPEG"); }

    std::string Source() const { return m_folder.File("show.mpg"); }
    std::string Output() const { return m_folder.File("mst1.mpg"); }

    std::string Run(const std::string& input, bool closeInput) {
        EXPECT_TRUE(m_runner.Start(ToolPath("pelkar-rtvedit")));
        EXPECT_TRUE(m_runner.WriteInput("%s", input.c_str()));
        if (closeInput) m_runner.CloseInput();
        EXPECT_TRUE(m_runner.WaitForEnd(kPatience));
        return m_runner.GetAllOutput();
    }

    std::string Script(const std::string& keepLines) const {
        return "pelkar-edit 1\nsource " + Source() + "\n# a comment\n" + keepLines + "end\n";
    }

    TempDir m_folder;
    CConsoleRunner m_runner;
};

struct SBadInput {
    const char* name;
    std::function<std::string(const std::string& source, const std::string& output)> input;
    const char* reason;
};

std::ostream& operator<<(std::ostream& out, const SBadInput& row) {
    return out << row.name;
}

std::string Scripted(const std::string& source, const std::string& lines) {
    return "pelkar-edit 1\nsource " + source + "\n" + lines;
}

const SBadInput kBadInputs[] = {
    {"NoTLine", [](auto s, auto) { return Scripted(s, "keep 0 -\nend\n"); }, "T<output path>"},
    {"NoEndLine", [](auto s, auto o) { return "T" + o + "\n" + Scripted(s, "keep 0 -\n"); },
     "no end line"},
    {"NoKeepRange", [](auto s, auto o) { return "T" + o + "\n" + Scripted(s, "end\n"); },
     "keeps nothing"},
    {"RangesOutOfOrder",
     [](auto s, auto o) { return "T" + o + "\n" + Scripted(s, "keep 10 20\nkeep 5 8\nend\n"); },
     "out of order"},
    {"RangesOverlap",
     [](auto s, auto o) { return "T" + o + "\n" + Scripted(s, "keep 0 10\nkeep 9 20\nend\n"); },
     "out of order"},
    {"OpenEndBeforeAnotherRange",
     [](auto s, auto o) { return "T" + o + "\n" + Scripted(s, "keep 0 -\nkeep 20 30\nend\n"); },
     "out of order"},
    {"EndBeforeStart",
     [](auto s, auto o) { return "T" + o + "\n" + Scripted(s, "keep 20 10\nend\n"); },
     "unreadable keep range"},
    {"CommaDecimal",
     [](auto s, auto o) { return "T" + o + "\n" + Scripted(s, "keep 0,5 7\nend\n"); },
     "unreadable keep range"},
    {"UnknownDirective",
     [](auto s, auto o) { return "T" + o + "\n" + Scripted(s, "cut 1 2\nend\n"); }, "unknown line"},
    {"EvtDumpNotStarted",
     [](auto, auto o) { return "T" + o + "\nRedirect console error: 2\r\n\n"; }, "no edit script"},
    {"UnreadableSource",
     [](auto s, auto o) { return "T" + o + "\n" + Scripted(s + ".gone", "keep 0 -\nend\n"); },
     "cannot read the source"},
    {"OutputIsTheSource",
     [](auto s, auto) { return "T" + s + "\n" + Scripted(s, "keep 0 -\nend\n"); },
     "is the source itself"},
};

class RtvEditRefusal : public RtvEditRun, public ::testing::WithParamInterface<SBadInput> {};

TEST_P(RtvEditRefusal, SaysWhyInOneLineEndsWithStatusOneAndWritesNothing) {
    const std::string said = Run(GetParam().input(Source(), Output()) + "\n", true);
    EXPECT_EQ(said.rfind("pelkar-rtvedit: ", 0), 0u) << said;
    EXPECT_NE(said.find(GetParam().reason), std::string::npos) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_EQ(m_runner.GetExit().kind, SToolExit::EKind::Exited);
    EXPECT_EQ(m_runner.GetExit().code, 1);
    EXPECT_FALSE(FileExists(Output()));
    EXPECT_FALSE(FileExists(Output() + ".partial"));
    EXPECT_EQ(ReadWholeFile(Source()), "a recording");
}

INSTANTIATE_TEST_SUITE_P(Table, RtvEditRefusal, ::testing::ValuesIn(kBadInputs),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RtvEditRun, JoinsTheKeptPiecesWithoutWaitingForTheInputToClose) {
    const std::string said =
        Run("T" + Output() + "\n" + Script("keep 0.000 100.000\nkeep 160.400 -\n") + "\n", false);
    EXPECT_EQ(m_runner.GetExit().code, 0) << said;
    EXPECT_EQ(ReadWholeFile(Output()), "a recordinga recording");
    EXPECT_FALSE(FileExists(Output() + ".piece1"));
    EXPECT_FALSE(FileExists(Output() + ".partial"));
}

TEST_F(RtvEditRun, EvtDumpScriptOfAnEventFileInEitherByteOrderIsCarriedOut) {
    for (bool bigEndian : {false, true}) {
        WriteWholeFile(m_folder.File("show.evt"), BreakFile(bigEndian));
        EXPECT_TRUE(
            m_runner.Start(ToolPath("pelkar-evtdump") + " \"" + m_folder.File("show.evt") + "\""));
        EXPECT_TRUE(m_runner.WaitForEnd(kPatience));
        const std::string script = m_runner.GetAllOutput();
        EXPECT_NE(script.find(SystemText("\nkeep 0.000 100.000\nkeep 160.367 -\nend\n")),
                  std::string::npos)
            << script;
        Run("T" + Output() + "\n" + script + "\n", false);
        EXPECT_EQ(m_runner.GetExit().code, 0) << m_runner.GetAllOutput();
        EXPECT_EQ(ReadWholeFile(Output()), "a recordinga recording");
    }
}

TEST_F(RtvEditRun, WithoutEventFileOrComskipTheWholeRecordingIsKeptAndSaysWhy) {
    SetEnvironment("PELKAR_COMSKIP", m_folder.File("no-comskip"));
    EXPECT_TRUE(
        m_runner.Start(ToolPath("pelkar-evtdump") + " \"" + m_folder.File("show.evt") + "\""));
    EXPECT_TRUE(m_runner.WaitForEnd(kPatience));
    UnsetEnvironment("PELKAR_COMSKIP");
    const std::string script = m_runner.GetAllOutput();
    EXPECT_EQ(m_runner.GetExit().code, 0);
    EXPECT_NE(script.find("is not used: it cannot be read"), std::string::npos) << script;
    EXPECT_NE(script.find("whole recording is kept: " + m_folder.File("no-comskip") +
                          " could not be started"),
              std::string::npos)
        << script;
    Run("T" + Output() + "\n" + script + "\n", false);
    EXPECT_EQ(ReadWholeFile(Output()), "a recording");
}

}  // namespace
