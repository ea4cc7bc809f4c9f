#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "UiTestSupport.h"
#include "model/ProcessArguments.h"
#include "res/Resource.h"

namespace {

const char* const kHostCommandTemplate =
    "--mpeg %mpeg% --title %title% --episode %episode% --startdate %startdate% --starttime "
    "%starttime% --dur %dur% --showid %showid% --dname %dname% --dcat %dcat% --dchan %dchan% "
    "--rname %rname% --rcat %rcat% --rchan %rchan%";

}  // namespace

// However the program was started, the host runs the executable itself, from a folder of its
// own, so the command names it by its absolute path.
class HostCommandPathTest : public UiTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(HostCommandPathTest, CommandNamesTheRunningExecutableByItsAbsolutePath) {
    SetProcessArguments({GetParam()});
    RunMainWindow([](CDialog& window) { window.UserClick(IDC_COMMAND); });
    const std::string command = host.ClipboardText();
    const std::string::size_type templateStart = command.find(" --mpeg ");
    ASSERT_NE(std::string::npos, templateStart) << command;
    EXPECT_EQ(kHostCommandTemplate, command.substr(templateStart + 1));
    const std::filesystem::path program = command.substr(0, templateStart);
    EXPECT_TRUE(program.is_absolute()) << program;
    EXPECT_TRUE(std::filesystem::equivalent(program, "/proc/self/exe")) << program;
}

INSTANTIATE_TEST_SUITE_P(StartedAs, HostCommandPathTest,
                         ::testing::Values("./pelkar", "pelkar", "/opt/pel kar/pelkar"));
