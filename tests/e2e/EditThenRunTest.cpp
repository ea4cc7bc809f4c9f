#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ProfileBuilder.h"
#include "TestSupport.h"
#include "app/PELKARDialog.h"
#include "model/ProcessArguments.h"
#include "HeadlessHost.h"
#include "res/Resource.h"

namespace {

// The profile before the window opens: none, or one saved by Notepad as "Unicode" (UTF-16LE
// with a byte-order mark), which every save must keep in its encoding.
struct ProfileBefore {
    const char* name;
    bool utf16;
    std::string bytes;
};

const std::string kUtf16Mark = "\xFF\xFE";

// The profile's text, read back from UTF-16LE with its mark where it must be that.
std::string ProfileText(const std::string& bytes, bool utf16) {
    if (!utf16) return bytes;
    std::string text;
    EXPECT_EQ(bytes.compare(0, 2, kUtf16Mark), 0) << "the byte-order mark is lost";
    EXPECT_TRUE(bytes.size() >= 2 && Latin1OfUtf16Le(bytes.substr(2), &text)) << "not UTF-16LE";
    return text;
}

// The user sets up the tools and adds an action in the window; the host's next post-download
// run of the program finds that action in the profile and runs it.
class EditThenRunTest : public ::testing::TestWithParam<ProfileBefore> {
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

TEST_P(EditThenRunTest, ActionAddedInTheWindowRunsOnTheNextPostDownloadRun) {
    const std::string profile = home.File("pelkar.ini");
    if (!GetParam().bytes.empty()) WriteWholeFile(profile, GetParam().bytes);
    EditInTheWindow();
    const std::string edited = ProfileText(ReadWholeFile(profile), GetParam().utf16);
    EXPECT_NE(edited.find("Evening news"), std::string::npos) << edited;
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
    const std::string run = ProfileText(ReadWholeFile(profile), GetParam().utf16);
    EXPECT_EQ(run.find("[PELKAR]"), run.rfind("[PELKAR]")) << run;
    if (GetParam().utf16) {
        EXPECT_NE(run.find("; saved by Notepad"), std::string::npos) << run;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Profiles, EditThenRunTest,
    ::testing::Values(ProfileBefore{"None", false, ""},
                      ProfileBefore{"Utf16LeWithMark", true,
                                    kUtf16Mark + Utf16LeOfLatin1("; saved by Notepad\r\n"
                                                                 "[PELKAR]\r\nlogging=0\r\n")}),
    [](const ::testing::TestParamInfo<ProfileBefore>& info) { return info.param.name; });

}  // namespace
