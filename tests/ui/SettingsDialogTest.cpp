#include <gtest/gtest.h>

#include <string>

#include "UiTestSupport.h"
#include "platform/Paths.h"
#include "res/Resource.h"
#include "ui/SettingsDialog.h"

namespace {

class SettingsDialogTest : public UiTest {
protected:
    SettingsDialogTest() {
        settings.SetRtvEditPath("/opt/rtvedit");
        settings.SetEvtDumpPath("/opt/evtdump");
        settings.SetFfmpegPath("/opt/ffmpeg");
        settings.SetTempDirectory("/tmp/");
        settings.SetLogging(0);
        settings.SetLoggingPath("pelkar.log");
    }
    int RunSettings(CHeadlessHost::Script script) {
        host.OnDialog(IDD_SETTINGS, std::move(script));
        return settings.DoModal();
    }

    CSettingsDialog settings;
};

TEST_F(SettingsDialogTest, OpensWithTheValuesAndTheLogPathDisabledWhileLoggingIsOff) {
    RunSettings([](CDialog& dialog) {
        EXPECT_EQ("Settings", dialog.GetWindowText());
        EXPECT_EQ("/opt/ffmpeg", dialog.GetDlgItemText(IDC_FFMPEG_PATH));
        EXPECT_EQ("/opt/evtdump", dialog.GetDlgItemText(IDC_EVTDUMP_PATH));
        EXPECT_EQ("/opt/rtvedit", dialog.GetDlgItemText(IDC_RTVEDIT_PATH));
        EXPECT_EQ("/tmp/", dialog.GetDlgItemText(IDC_TEMP_PATH));
        EXPECT_EQ(0, dialog.IsDlgButtonChecked(IDC_LOGGING));
        EXPECT_FALSE(dialog.IsDlgItemEnabled(IDC_LOGGING_PATH));
        EXPECT_TRUE(dialog.IsDlgItemEnabled(IDC_BROWSE_LOG_FILE));
        EXPECT_TRUE(dialog.IsDlgItemEnabled(IDC_OK_BUTTON));
    });
}

TEST_F(SettingsDialogTest, ClearingAToolPathOrTypingOnlyBlanksDisablesOk) {
    RunSettings([](CDialog& dialog) {
        dialog.UserTypeText(IDC_FFMPEG_PATH, "");
        EXPECT_FALSE(dialog.IsDlgItemEnabled(IDC_OK_BUTTON));
        dialog.UserTypeText(IDC_FFMPEG_PATH, "ffmpeg");
        EXPECT_TRUE(dialog.IsDlgItemEnabled(IDC_OK_BUTTON));
        dialog.UserTypeText(IDC_TEMP_PATH, " \t ");
        EXPECT_FALSE(dialog.IsDlgItemEnabled(IDC_OK_BUTTON));
        EXPECT_FALSE(dialog.UserClick(IDC_OK_BUTTON));
    });
}

TEST_F(SettingsDialogTest, LoggingWithoutALogPathCannotBeConfirmed) {
    settings.SetLoggingPath("");
    RunSettings([](CDialog& dialog) {
        EXPECT_TRUE(dialog.IsDlgItemEnabled(IDC_OK_BUTTON));
        dialog.UserClick(IDC_LOGGING);
        EXPECT_TRUE(dialog.IsDlgItemEnabled(IDC_LOGGING_PATH));
        EXPECT_FALSE(dialog.IsDlgItemEnabled(IDC_OK_BUTTON));
        dialog.UserKeyDown(VK_RETURN);
        EXPECT_FALSE(dialog.HasEnded());
        dialog.UserTypeText(IDC_LOGGING_PATH, "/var/log/pelkar.log");
        EXPECT_TRUE(dialog.IsDlgItemEnabled(IDC_OK_BUTTON));
    });
}

TEST_F(SettingsDialogTest, TypedPathsComeBackTrimmedAfterOk) {
    const int result = RunSettings([](CDialog& dialog) {
        dialog.UserTypeText(IDC_RTVEDIT_PATH, "  /usr/bin/rtvedit\t");
        dialog.UserClick(IDC_LOGGING);
        dialog.UserTypeText(IDC_LOGGING_PATH, " /var/log/p.log ");
        EXPECT_EQ("  /usr/bin/rtvedit\t", dialog.GetDlgItemText(IDC_RTVEDIT_PATH));
        dialog.UserClick(IDC_OK_BUTTON);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ("/usr/bin/rtvedit", settings.GetRtvEditPath());
    EXPECT_EQ(1, settings.GetLogging());
    EXPECT_EQ("/var/log/p.log", settings.GetLoggingPath());
    EXPECT_EQ("/opt/ffmpeg", settings.GetFfmpegPath());
}

TEST_F(SettingsDialogTest, BrowseOnAnEmptyPathStartsWithTheDefaultName) {
    settings.SetRtvEditPath("");
    host.AnswerFileChooser("/usr/local/bin/rtvedit");
    RunSettings([](CDialog& dialog) {
        dialog.UserClick(IDC_BROWSE_RTVEDIT);
        EXPECT_EQ("/usr/local/bin/rtvedit", dialog.GetDlgItemText(IDC_RTVEDIT_PATH));
        int start = 0, end = 0;
        dialog.GetEditSel(IDC_RTVEDIT_PATH, &start, &end);
        EXPECT_EQ(22, start);
        EXPECT_EQ(22, end);
        EXPECT_TRUE(dialog.IsDlgItemEnabled(IDC_OK_BUTTON));
        dialog.UserClick(IDC_OK_BUTTON);
    });
    ASSERT_EQ(1u, host.FileRequests().size());
    EXPECT_EQ("Locate RTVEdit", host.FileRequests()[0].title);
    EXPECT_EQ("RTVEdit executable|" + DefaultToolName("*") + "||", host.FileRequests()[0].filter);
    EXPECT_EQ(DefaultToolName("rtvedit"), host.FileRequests()[0].initialName);
    EXPECT_EQ("/usr/local/bin/rtvedit", settings.GetRtvEditPath());
}

TEST_F(SettingsDialogTest, EachBrowseButtonAsksForItsOwnFile) {
    RunSettings([](CDialog& dialog) {
        dialog.UserClick(IDC_BROWSE_FFMPEG);
        dialog.UserClick(IDC_BROWSE_EVTDUMP);
        dialog.UserClick(IDC_BROWSE_LOG_FILE);
    });
    ASSERT_EQ(3u, host.FileRequests().size());
    EXPECT_EQ("Locate FFMPEG", host.FileRequests()[0].title);
    EXPECT_EQ("/opt/ffmpeg", host.FileRequests()[0].initialName);
    EXPECT_EQ("Locate EVTDump", host.FileRequests()[1].title);
    EXPECT_EQ("EVTDump executable|" + DefaultToolName("*") + "||", host.FileRequests()[1].filter);
    EXPECT_EQ("Specify PELKAR log file", host.FileRequests()[2].title);
    EXPECT_EQ("PELKAR log file|*.log||", host.FileRequests()[2].filter);
}

TEST_F(SettingsDialogTest, LogFileBrowseFillsTheDisabledEdit) {
    host.AnswerFileChooser("/var/log/chosen.log");
    RunSettings([](CDialog& dialog) {
        EXPECT_TRUE(dialog.UserClick(IDC_BROWSE_LOG_FILE));
        EXPECT_EQ("/var/log/chosen.log", dialog.GetDlgItemText(IDC_LOGGING_PATH));
        EXPECT_FALSE(dialog.IsDlgItemEnabled(IDC_LOGGING_PATH));
        dialog.UserClick(IDC_OK_BUTTON);
    });
    EXPECT_EQ("/var/log/chosen.log", settings.GetLoggingPath());
    EXPECT_EQ(0, settings.GetLogging());
}

TEST_F(SettingsDialogTest, FolderBrowserOpensOnTheTempDirectoryAndCancelKeepsIt) {
    host.CancelFolderChooser();
    host.AnswerFolderChooser("/var/tmp");
    RunSettings([](CDialog& dialog) {
        dialog.UserClick(IDC_BROWSE_TEMP_DIRECTORY);
        EXPECT_EQ("/tmp/", dialog.GetDlgItemText(IDC_TEMP_PATH));
        dialog.UserClick(IDC_BROWSE_TEMP_DIRECTORY);
        dialog.UserClick(IDC_OK_BUTTON);
    });
    ASSERT_EQ(2u, host.FolderRequests().size());
    EXPECT_EQ("Select Temp Directory", host.FolderRequests()[0].title);
    EXPECT_EQ("/tmp/", host.FolderRequests()[0].initialFolder);
    EXPECT_EQ("/var/tmp", settings.GetTempDirectory());
}

TEST_F(SettingsDialogTest, ChosenPathTooLongForThePathBufferChangesNothing) {
    host.AnswerFileChooser("/" + std::string(259, 'x'));
    RunSettings([](CDialog& dialog) {
        dialog.UserClick(IDC_BROWSE_FFMPEG);
        EXPECT_EQ("/opt/ffmpeg", dialog.GetDlgItemText(IDC_FFMPEG_PATH));
    });
}

}  // namespace
