#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ProfileBuilder.h"
#include "TestSupport.h"
#include "app/PELKARDialog.h"
#include "model/ProcessArguments.h"
#include "platform/headless/HeadlessHost.h"
#include "res/Resource.h"

namespace {

// The user sets up the tools and adds an action in the window; the host's next post-download
// run of the program finds that action in the profile and runs it.
class EditThenRunTest : public ::testing::Test {
protected:
    EditThenRunTest() {
        setenv("XDG_CONFIG_HOME", home.Path().c_str(), 1);
        SetProcessArguments({PelkarPath()});
    }
    ~EditThenRunTest() override { unsetenv("XDG_CONFIG_HOME"); }

    std::string LogFile() const { return home.File("pelkar.log"); }

    void EditInTheWindow() {
        CHeadlessHost host;
        host.OnDialog(IDD_SETTINGS, [this](CDialog& settings) {
            settings.UserTypeText(IDC_FFMPEG_PATH, ToolPath("standin_ffmpeg"));
            settings.UserTypeText(IDC_TEMP_PATH, home.Path());
            settings.UserClick(IDC_LOGGING);
            settings.UserTypeText(IDC_LOGGING_PATH, LogFile());
            EXPECT_TRUE(settings.UserClick(IDC_OK_BUTTON));
        });
        host.OnDialog(IDD_ACTION, [this](CDialog& editor) {
            const SFilterRowIds& title = kFilterRowIds[FieldTitle];
            editor.UserTypeText(IDC_NAME, "Evening news");
            editor.UserTypeText(IDC_OUTPUT_DIRECTORY, home.Path());
            editor.UserOpenComboList(IDC_PLACEHOLDERS);
            editor.UserSelectItem(IDC_PLACEHOLDERS, 1);
            editor.UserClick(IDC_AUDIO_ONLY);
            editor.UserClick(title.check);
            editor.UserTypeText(title.edit, "Evening*");
            EXPECT_TRUE(editor.UserClick(IDC_OK_BUTTON));
        });
        host.OnDialog(IDD_PELKAR_DIALOG, [](CDialog& window) {
            window.UserClick(IDC_CONFIGURATION);
            window.UserClick(IDC_ADD);
            window.UserClick(IDC_EXIT);
        });
        CPELKARDialog window;
        window.DoModal();
    }

    TempDir home;
};

TEST_F(EditThenRunTest, ActionAddedInTheWindowRunsOnTheNextPostDownloadRun) {
    EditInTheWindow();
    const std::string recording = home.File("show.mpg");
    WriteWholeFile(recording, std::string(4096, 'v'));

    const ProcessResult result =
        RunProgram(HostArguments(recording, "Evening News"), {{"XDG_CONFIG_HOME", home.Path()}});

    EXPECT_EQ(0, result.exitStatus) << result.standardError;
    const std::vector<std::string> log = LogTexts(ReadWholeFile(LogFile()));
    const std::vector<std::string> matched = {"ProcessActions(): Processing action: Evening news",
                                              "ProcessActions(): Filter match found!"};
    EXPECT_NE(log.end(), std::search(log.begin(), log.end(), matched.begin(), matched.end()));
    EXPECT_TRUE(FileExists(home.File("Evening News.mp3")));
}

}  // namespace
