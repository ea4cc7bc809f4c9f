#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "app/UsageText.h"
#include "model/DVAFlags.h"

namespace {

SUsagePlaces Places() {
    return {"pelkar", "/home/u/.config/pelkar.ini", "pelkar.log", false};
}

std::string Section(const std::string& usage, const std::string& heading) {
    const std::string::size_type start = usage.find("\n" + heading + ":\n");
    if (start == std::string::npos) return std::string();
    const std::string::size_type end = usage.find("\n\n", start + 1);
    return usage.substr(start + heading.size() + 3, end - start - heading.size() - 3);
}

TEST(UsageTextTest, EveryLineFitsAnEightyColumnTerminal) {
    for (const std::string& line : SplitLines(UsageText(Places())))
        EXPECT_LE(line.size(), 80u) << line;
}

TEST(UsageTextTest, HostCommandHasEveryFieldOptionWithItsPlaceholderInOrder) {
    std::istringstream command(Section(UsageText(Places()), "The host's post-download command"));
    std::string words;
    for (std::string word; command >> word;) words += (words.empty() ? "" : " ") + word;
    std::string expected = "pelkar";
    for (int field = 0; field < DVAFieldCount; ++field) {
        const EDVAField entry = static_cast<EDVAField>(field);
        expected += " " + DVAFieldOption(entry) + " " + DVAFieldPlaceholder(entry);
    }
    EXPECT_EQ(words, expected);
}

TEST(UsageTextTest, OptionsListEachFieldOptionAndTheSwitchesOnALineOfTheirOwn) {
    const std::string options = Section(UsageText(Places()), "Options");
    std::vector<std::string> expected;
    for (int field = 0; field < DVAFieldCount; ++field)
        expected.push_back(DVAFieldOption(static_cast<EDVAField>(field)));
    expected.insert(expected.end(), {"--gui", "--dry-run", "--help", "--version"});
    const std::vector<std::string> lines = SplitLines(options);
    ASSERT_GE(lines.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(lines[i].rfind("  " + expected[i] + " ", 0), 0u) << lines[i];
}

TEST(UsageTextTest, ExitStatusesAreListedInOrder) {
    std::vector<std::string> statuses;
    for (const std::string& line : SplitLines(Section(UsageText(Places()), "Exit status")))
        statuses.push_back(line.substr(2, line.find(' ', 2) - 2));
    EXPECT_EQ(statuses, (std::vector<std::string>{"0", "1", "2", "3", "128+N"}));
}

TEST(UsageTextTest, FilesNameTheProfileTheLogAndWhetherLoggingIsOn) {
    SUsagePlaces places = Places();
    std::string files = Section(UsageText(places), "Files");
    EXPECT_NE(files.find("/home/u/.config/pelkar.ini (section [PELKAR])"), std::string::npos);
    EXPECT_NE(files.find("pelkar.log (logging is off)"), std::string::npos);
    places.logging = true;
    places.loggingPath = "/var/log/pelkar/run.log";
    files = Section(UsageText(places), "Files");
    EXPECT_NE(files.find("/var/log/pelkar/run.log (logging is on)"), std::string::npos);
}

TEST(UsageTextTest, ProgramNameIsTheOneGiven) {
    SUsagePlaces places = Places();
    places.program = "PELKAR";
    EXPECT_EQ(UsageText(places).rfind("Usage: PELKAR --mpeg PATH", 0), 0u);
}

}  // namespace
