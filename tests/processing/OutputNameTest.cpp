#include <gtest/gtest.h>

#include <ostream>

#include "model/DVAFlags.h"
#include "platform/Paths.h"
#include "processing/OutputName.h"

namespace {

struct NameCase {
    const char* name;
    const char* directory;
    const char* filenameTemplate;
    const char* title;
    const char* episode;
    // With "|" where the folder and the name are joined by the system's separator, and "<_>"
    // where Windows adds "_" to a device's name or to a name a value ends in "." or a blank
    // (elsewhere nothing).
    const char* expected;
};

std::string OnThisSystem(std::string path) {
    path.replace(path.find('|'), 1, PathSeparator());
    const bool windows = std::string(PathSeparator()) == "\\";
    for (auto mark = path.find("<_>"); mark != std::string::npos; mark = path.find("<_>"))
        path.replace(mark, 3, windows ? "_" : "");
    return path;
}

// Names the row in test listings.
void PrintTo(const NameCase& row, std::ostream* out) { *out << row.name; }

// Titles come from broadcast data: none may cut the name, collide with another, or lead out
// of the output folder; the template's own separators and extension rules still hold.
const NameCase kCases[] = {
    {"DotInATitleNeverCuts", "out", "%title%", "Mr. Robot", "", "out|Mr. Robot.mp4"},
    {"TitlesSharingAPrefixStayApart", "out", "%title%", "Mr. Smith Goes", "",
     "out|Mr. Smith Goes.mp4"},
    {"NumberedPartsStayApart", "out", "%title%", "Pt. 2", "", "out|Pt. 2.mp4"},
    {"DotInTheFolderNeverCuts", "tv.shows", "%title%", "News", "", "tv.shows|News.mp4"},
    {"TemplateExtensionIsReplaced", "out", "%title%.avi", "News", "", "out|News.mp4"},
    {"DotBeforeAPlaceholderIsNoExtension", "out", "%title%.%episode%", "News", "4",
     "out|News.4.mp4"},
    {"SlashInATitleStaysInTheFolder", "out", "%title%", "../victim/keep.x", "",
     "out|.._victim_keep.x.mp4"},
    {"TemplateSeparatorsStay", "out", "%title%/%episode%", "News", "4", "out|News/4.mp4"},
    {"DotsOnlyValueCannotClimb", "out", "%title%/%episode%", "..", "4", "out|__/4.mp4"},
    {"LiteralDotsOfTheTemplateStay", "out", "../%title%", "News", "", "out|../News.mp4"},
    {"FolderEndingInSeparatorGetsAnother", "out/", "%title%", "News", "", "out/|News.mp4"},
    {"EmptyFieldsLeaveOnlyTheExtension", "out", "%title%%episode%", "", "", "out|.mp4"},
    {"DeviceNameTitleIsNoDevice", "out", "%title%", "NUL", "", "out|NUL<_>.mp4"},
    {"DeviceNameInAnyCaseWithAnExtension", "out", "%title%.%episode%", "aux", "x",
     "out|aux<_>.x.mp4"},
    {"NumberedDeviceNamesInFolders", "out", "%title%/%episode%", "com1", "LPT9",
     "out|com1<_>/LPT9<_>.mp4"},
    {"ConsoleDeviceNames", "out", "%title%/%episode%", "conin$", "CONOUT$",
     "out|conin$<_>/CONOUT$<_>.mp4"},
    {"NamesLikeDevicesAreFiles", "out", "%title%/%episode%", "COM10", "CONSOLE",
     "out|COM10/CONSOLE.mp4"},
    {"SuperscriptPortNumbersInCodePage1252", "out", "%title%/%episode%", "COM\xB9", "lpt\xB3",
     "out|COM\xB9<_>/lpt\xB3<_>.mp4"},
    {"DotsEndingAFolder", "out", "%title%/%episode%", "...", "4", "out|...<_>/4.mp4"},
    {"DotOfAValueEndingAFolder", "out", "%title%/%episode%", "Mr.", "4", "out|Mr.<_>/4.mp4"},
    {"BlankLeftByAnEmptyValueEndingAFolder", "out", "%title% %episode%/x", "News", "",
     "out|News <_>/x.mp4"},
    {"DotOfTheTemplateEndingAFolderStays", "out", "%title%./%episode%", "News", "4",
     "out|News./4.mp4"},
    {"DotEndingTheFileNameStaysBeforeTheExtension", "out", "%title%", "Mr.", "", "out|Mr..mp4"},
};

class OutputNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(OutputNameTest, BuildsTheExpectedPath) {
    const NameCase& row = GetParam();
    CDVAFlags recording;
    recording.SetMpeg("/rec/show.mpg");
    recording.SetTitle(row.title);
    recording.SetEpisode(row.episode);
    EXPECT_EQ(BuildOutputPath(row.directory, row.filenameTemplate, recording, ".mp4"),
              OnThisSystem(row.expected));
}

INSTANTIATE_TEST_SUITE_P(Names, OutputNameTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
