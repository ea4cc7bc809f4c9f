#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "DesktopUserWin32.h"
#include "ProfileBuilder.h"
#include "ScratchProfile.h"
#include "TestSupport.h"
#include "TestSupportWin32.h"
#include "app/DryRun.h"
#include "app/IniText.h"
#include "app/PELKARApp.h"
#include "model/CommandLine.h"
#include "model/DVAFlags.h"
#include "model/ProcessArguments.h"
#include "platform/Process.h"
#include "platform/WindowHost.h"
#include "res/DialogTemplates.h"
#include "res/ProductInfo.h"
#include "res/Resource.h"
#include "ui/ReportDialog.h"
#include "ui/toolkit/Dialog.h"

// The native Win32 dialogs, shown by Wine on a virtual display: the program runs its windows
// as it does for a user, while a person played from another thread clicks and types. Each
// dialog is saved as an image when PELKAR_SCREENSHOT_DIR names a folder.

namespace {

using Rows = std::vector<std::string>;

void SaveScreenshot(WindowRef window, const std::string& name) {
    const char* folder = std::getenv("PELKAR_SCREENSHOT_DIR");
    if (folder && *folder) {
        EXPECT_TRUE(SaveWindowImage(window, std::string(folder) + "\\" + name + ".bmp")) << name;
    }
}

// The window shows the dialog's template: every control where the template puts it, and
// every text whole.
void ExpectLaidOutAsTheTemplate(WindowRef window, int templateId) {
    const SDialogTemplate* dialogTemplate = FindDialogTemplate(templateId);
    ASSERT_NE(dialogTemplate, nullptr);
    EXPECT_EQ(MisplacedControls(window, *dialogTemplate), std::vector<int>()) << templateId;
    EXPECT_EQ(ClippedControls(window, *dialogTemplate), std::vector<int>()) << templateId;
}

// Runs the program's windows on this thread while the user's script runs on another; the
// script must leave every window closed.
class DialogHostWin32Test : public ::testing::Test {
protected:
    DialogHostWin32Test() : m_host(CreateWindowHost()) { SetWindowHost(m_host.get()); }
    ~DialogHostWin32Test() override { SetWindowHost(nullptr); }

    void StoreSampleActions() {
        WriteWholeFile(m_profile.Path(),
                       ProfileBuilder()
                           .Action(MakeTitleAction("News to MP3", "C:\\out", "*News*"))
                           .Action(MakeTitleAction("Movies small", "C:\\out", "Movie*", false))
                           .Action(MakeTitleAction("Documentaries", "C:\\out", "*", false))
                           .Text());
    }

    void RunWithUser(const std::function<void()>& run, const std::function<void()>& script) {
        ASSERT_NE(m_host, nullptr) << "no display";
        std::thread user(script);
        run();
        user.join();
    }

    void RunProgramWithUser(const std::function<void()>& script,
                            const std::string& program = "C:\\Program Files\\PELKAR\\PELKAR.EXE") {
        SetProcessArguments({program});
        RunWithUser([] { theApp.Run(); }, script);
    }

    std::string StoredValue(const std::string& key) const {
        std::string value;
        FindIniValue(ReadWholeFile(m_profile.Path()), "PELKAR", key, &value);
        return value;
    }

    std::unique_ptr<CWindowHost> m_host;
    ScratchProfile m_profile;
};

// A dialog that records how the help key reaches it.
class CHelpRecordingDialog : public CDialog {
public:
    CHelpRecordingDialog() : CDialog(IDD_ABOUTBOX) {}
    bool PreTranslateMessage(MSG* pMsg) override {
        keys.push_back(pMsg->wParam);
        return CDialog::PreTranslateMessage(pMsg);
    }
    bool OnHelpInfo(HELPINFO* pHelpInfo) override {
        helpControls.push_back(pHelpInfo->iCtrlId);
        keysBeforeHelp = keys.size();
        return true;
    }

    std::vector<unsigned> keys;
    std::vector<int> helpControls;
    std::size_t keysBeforeHelp = 0;
};

}  // namespace

TEST_F(DialogHostWin32Test, MainWindowShowsTheListAndItsRealSystemMenu) {
    StoreSampleActions();
    RunProgramWithUser([] {
        const WindowRef main = WaitForWindow("PELKAR");
        ASSERT_NE(main, 0u);
        EXPECT_EQ(ListItems(main, IDC_ACTION_LIST),
                  Rows({"News to MP3", "Movies small", "Documentaries"}));
        EXPECT_EQ(ListSelection(main, IDC_ACTION_LIST), 0);
        EXPECT_FALSE(IsControlEnabled(main, IDC_MOVE_UP));
        EXPECT_TRUE(IsControlEnabled(main, IDC_MOVE_DOWN));
        ExpectLaidOutAsTheTemplate(main, IDD_PELKAR_DIALOG);
        const auto menu = SystemMenu(main);
        ASSERT_GE(menu.size(), 2u);
        EXPECT_EQ(menu[menu.size() - 2].first, 0u);
        EXPECT_EQ(menu.back(), std::make_pair(16u, std::string(kAboutCaption)));
        for (const auto& entry : menu) EXPECT_NE(entry.first, unsigned(SC_MAXIMIZE));
        EXPECT_TRUE(HasDragIcon(main));
        SaveScreenshot(main, "main");

        // Esc never closes the main window; the arrow keys move the list's selection.
        PressKey(main, VK_ESCAPE);
        EXPECT_TRUE(IsOpen(main));
        PressKey(main, VK_DOWN);
        EXPECT_EQ(ListSelection(main, IDC_ACTION_LIST), 1);
        EXPECT_TRUE(IsControlEnabled(main, IDC_MOVE_UP));

        ClickControl(main, IDC_EXIT);
        EXPECT_TRUE(WaitUntilGone(main));
    });
}

TEST_F(DialogHostWin32Test, AboutBoxOpensFromTheButtonAndFromTheSystemMenu) {
    RunProgramWithUser([] {
        const WindowRef main = WaitForWindow("PELKAR");
        ASSERT_NE(main, 0u);
        ClickControl(main, IDC_ABOUT);
        WindowRef about = WaitForWindow(kAboutCaption);
        ASSERT_NE(about, 0u);
        EXPECT_EQ(ControlText(about, IDC_ABOUT_LINE1), kProductTitle);
        EXPECT_EQ(ControlText(about, IDC_ABOUT_LINE2), kCopyrightLine);
        EXPECT_FALSE(IsEnabled(main)) << "the owner is disabled meanwhile";
        ExpectLaidOutAsTheTemplate(about, IDD_ABOUTBOX);
        SaveScreenshot(about, "about");
        PressKey(about, VK_ESCAPE);
        EXPECT_TRUE(WaitUntilGone(about));

        ChooseSystemCommand(main, 16);
        about = WaitForWindow(kAboutCaption);
        ASSERT_NE(about, 0u);
        ClickControl(about, IDC_CLOSE);
        EXPECT_TRUE(WaitUntilGone(about));

        // The focus starts on the default button, so Enter closes the box.
        ClickControl(main, IDC_ABOUT);
        about = WaitForWindow(kAboutCaption);
        ASSERT_NE(about, 0u);
        EXPECT_EQ(FocusedControl(about), IDC_CLOSE);
        PressKey(about, VK_RETURN);
        EXPECT_TRUE(WaitUntilGone(about));
        EXPECT_TRUE(IsEnabled(main));
        ClickControl(main, IDC_EXIT);
        EXPECT_TRUE(WaitUntilGone(main));
    });
}

TEST_F(DialogHostWin32Test, ActionEditorTakesTypedTextAndSavesItOnOk) {
    StoreSampleActions();
    RunProgramWithUser([this] {
        const WindowRef main = WaitForWindow("PELKAR");
        ASSERT_NE(main, 0u);
        ClickControl(main, IDC_EDIT_ACTION);
        const WindowRef editor = WaitForWindow("Edit Action");
        ASSERT_NE(editor, 0u);
        EXPECT_EQ(ControlText(editor, IDC_NAME), "News to MP3");
        EXPECT_EQ(ControlText(editor, IDC_OUTPUT_DIRECTORY), "C:\\out");
        EXPECT_TRUE(IsControlChecked(editor, IDC_AUDIO_ONLY));
        EXPECT_FALSE(IsControlEnabled(editor, IDC_TWO_PASS));
        EXPECT_FALSE(IsControlEnabled(editor, IDC_REMOVE_SOURCE));
        EXPECT_EQ(ListItems(editor, IDC_PLACEHOLDERS).front(), "DVA Flags...");
        EXPECT_EQ(ListSelection(editor, IDC_PLACEHOLDERS), 0);
        EXPECT_EQ(FocusedControl(editor), IDC_NAME);
        ExpectLaidOutAsTheTemplate(editor, IDD_ACTION);
        SaveScreenshot(editor, "action");

        // Esc never cancels the editor; an emptied name disables OK until one is typed.
        PressKey(editor, VK_ESCAPE);
        EXPECT_TRUE(IsOpen(editor));
        TypeInto(editor, IDC_NAME, "   ");
        EXPECT_FALSE(IsControlEnabled(editor, IDC_OK_BUTTON));
        TypeInto(editor, IDC_NAME, "Evening news");
        EXPECT_TRUE(IsControlEnabled(editor, IDC_OK_BUTTON));
        ClickControl(editor, IDC_AUDIO_ONLY);
        EXPECT_TRUE(IsControlEnabled(editor, IDC_TWO_PASS));
        ClickControl(editor, IDC_OK_BUTTON);
        EXPECT_TRUE(WaitUntilGone(editor));

        EXPECT_EQ(ListItems(main, IDC_ACTION_LIST).front(), "Evening news");
        EXPECT_EQ(StoredValue("action00").rfind("Evening news||C:\\out||%title%||0||", 0), 0u)
            << StoredValue("action00");
        ClickControl(main, IDC_EXIT);
        EXPECT_TRUE(WaitUntilGone(main));
    });
}

// The system's folder browser belongs to the editor: the editor takes no clicks meanwhile, so
// no second browser opens, and the browser opens over it.
TEST_F(DialogHostWin32Test, FolderBrowserIsOwnedByTheEditorThatOpensIt) {
    StoreSampleActions();
    RunProgramWithUser([] {
        const WindowRef main = WaitForWindow("PELKAR");
        ASSERT_NE(main, 0u);
        ClickControl(main, IDC_EDIT_ACTION);
        const WindowRef editor = WaitForWindow("Edit Action");
        ASSERT_NE(editor, 0u);
        ClickControl(editor, IDC_BROWSE_OUTPUT_DIRECTORY);
        const WindowRef browser = WaitForWindow("Browse for Folder");
        ASSERT_NE(browser, 0u);
        EXPECT_EQ(OwnerOf(browser), editor);
        EXPECT_FALSE(IsEnabled(editor));
        EXPECT_TRUE(IsCentredOver(browser, editor));
        ClickControl(browser, IDCANCEL);
        EXPECT_TRUE(WaitUntilGone(browser));
        EXPECT_TRUE(IsEnabled(editor));
        ClickControl(editor, IDC_CANCEL_BUTTON);
        EXPECT_TRUE(WaitUntilGone(editor));
        ClickControl(main, IDC_EXIT);
        EXPECT_TRUE(WaitUntilGone(main));
    });
}

TEST_F(DialogHostWin32Test, SettingsShowTheStoredValuesAndCancelKeepsThem) {
    WriteWholeFile(
        m_profile.Path(),
        ProfileBuilder().Raw("ffmpegPath", "C:\\ffmpeg\\ffmpeg.exe").Raw("logging", "0").Text());
    RunProgramWithUser([this] {
        const WindowRef main = WaitForWindow("PELKAR");
        ASSERT_NE(main, 0u);
        ClickControl(main, IDC_CONFIGURATION);
        const WindowRef settings = WaitForWindow("Settings");
        ASSERT_NE(settings, 0u);
        EXPECT_EQ(ControlText(settings, IDC_FFMPEG_PATH), "C:\\ffmpeg\\ffmpeg.exe");
        EXPECT_EQ(ControlText(settings, IDC_RTVEDIT_PATH), "rtvedit.exe");
        EXPECT_FALSE(IsControlChecked(settings, IDC_LOGGING));
        EXPECT_FALSE(IsControlEnabled(settings, IDC_LOGGING_PATH));
        ExpectLaidOutAsTheTemplate(settings, IDD_SETTINGS);
        SaveScreenshot(settings, "settings");

        TypeInto(settings, IDC_FFMPEG_PATH, "");
        EXPECT_FALSE(IsControlEnabled(settings, IDC_OK_BUTTON));
        ClickControl(settings, IDC_LOGGING);
        EXPECT_TRUE(IsControlEnabled(settings, IDC_LOGGING_PATH));
        ClickControl(settings, IDC_CANCEL_BUTTON);
        EXPECT_TRUE(WaitUntilGone(settings));
        ClickControl(main, IDC_EXIT);
        EXPECT_TRUE(WaitUntilGone(main));
    });
    EXPECT_EQ(StoredValue("ffmpegPath"), "C:\\ffmpeg\\ffmpeg.exe");
    EXPECT_EQ(StoredValue("logging"), "0");
}

// The host's command begins with the executable's full path, however the program was started
// (a bare name from a prompt, or a quoted path).
const char* const kStartedAs[] = {"PELKAR", "C:\\Program Files\\PELKAR\\PELKAR.EXE"};

TEST_F(DialogHostWin32Test, CommandIsCopiedToTheClipboardAsText) {
    const std::string executable = GetExecutablePath();
    ASSERT_EQ(executable.find(' '), std::string::npos) << "a test folder without blanks";
    ASSERT_EQ(executable.find(":\\"), 1u) << executable;
    for (const char* program : kStartedAs) {
        RunProgramWithUser(
            [&executable] {
                const WindowRef main = WaitForWindow("PELKAR");
                ASSERT_NE(main, 0u);
                ClickControl(main, IDC_COMMAND);
                // Untitled boxes carry the application's title, the executable's name.
                const WindowRef box = WaitForWindow("PELKAR");
                ASSERT_NE(box, 0u);
                ASSERT_NE(box, main);
                EXPECT_EQ(
                    MessageBoxText(box).rfind("The following DVArchive post download command", 0),
                    0u);
                AnswerMessageBox(box, IDOK);
                EXPECT_TRUE(WaitUntilGone(box));
                EXPECT_EQ(ClipboardText().rfind(executable + " --mpeg %mpeg% --title %title%", 0),
                          0u)
                    << ClipboardText();
                ClickControl(main, IDC_EXIT);
                EXPECT_TRUE(WaitUntilGone(main));
            },
            program);
    }
}

// The dry run of a full list, started from the desktop (no console, no standard output): its
// report scrolls in a window that fits the screen, opened at the first line.
TEST_F(DialogHostWin32Test, LongReportScrollsInAWindowInsideTheScreen) {
    std::vector<std::string> actions;
    for (int i = 1; i <= 75; ++i) {
        const std::string number = std::to_string(i);
        actions.push_back(
            MakeTitleAction("Action " + number, "C:\\out", "Show " + number).ToString());
    }
    CDVAFlags recording;
    recording.ParseCommandLine(CCommandLine("PELKAR.EXE --mpeg C:\\rec\\show.mpg --title Show 75"));
    bool matched = false;
    const std::string report = DryRunReport(SStoredSettings(), actions, recording, {}, &matched);
    const CWithoutStandardOutput startedFromTheDesktop;
    RunWithUser([&report] { ShowReport(report); },
                [] {
                    const WindowRef window = WaitForWindow("PELKAR");
                    ASSERT_NE(window, 0u);
                    ExpectLaidOutAsTheTemplate(window, IDD_REPORT);
                    EXPECT_TRUE(FitsWorkArea(window));
                    const std::string shown = ControlText(window, IDC_REPORT_TEXT);
                    EXPECT_EQ(shown.rfind("PELKAR dry run", 0), 0u) << shown;
                    EXPECT_NE(shown.find("\r\nThe action \"Action 75\" would run:\r\n"),
                              std::string::npos);
                    EXPECT_EQ(FirstVisibleLine(window, IDC_REPORT_TEXT), 0);
                    SaveScreenshot(window, "dry-run-report");
                    PressKey(window, VK_NEXT);
                    EXPECT_GT(FirstVisibleLine(window, IDC_REPORT_TEXT), 0);
                    ClickControl(window, IDC_REPORT_OK);
                    EXPECT_TRUE(WaitUntilGone(window));
                });
}

// ---- A profile in an encoding PELKAR cannot read ----

namespace {

const char* const kRecordingOnTheHost = "C:\\rec\\show.mpg";

std::string NewsProfile() {
    return ProfileBuilder().Action(MakeTitleAction("News", "C:\\out", "*")).Text();
}

}  // namespace

// Opened on it, the window says so; an action added there is lost at closing, which a box asks
// about first.
TEST_F(DialogHostWin32Test, ClosingWithAnEditTheProfileCannotTakeAsksFirst) {
    WriteWholeFile(m_profile.Path(), MarkedUtf16BeOfLatin1(NewsProfile()));
    const std::string before = ReadWholeFile(m_profile.Path());
    const std::string profile = m_profile.Path();
    RunProgramWithUser([&profile] {
        const WindowRef note = WaitForWindow("PELKAR");
        ASSERT_NE(note, 0u);
        EXPECT_NE(MessageBoxText(note).find("is in an encoding PELKAR cannot read"),
                  std::string::npos);
        AnswerMessageBox(note, IDOK);
        EXPECT_TRUE(WaitUntilGone(note));
        const WindowRef main = WaitForWindow("PELKAR");
        ASSERT_NE(main, 0u);
        ClickControl(main, IDC_ADD);
        const WindowRef editor = WaitForWindow("Add Action");
        ASSERT_NE(editor, 0u);
        TypeInto(editor, IDC_NAME, "Evening news");
        TypeInto(editor, IDC_OUTPUT_DIRECTORY, "C:\\out");
        TypeInto(editor, IDC_OUTPUT_FILENAME, "%title%");
        // OK stays disabled until the filter has a ticked field with a pattern.
        ClickControl(editor, kFilterRowIds[FieldTitle].check);
        TypeInto(editor, kFilterRowIds[FieldTitle].edit, "*News*");
        ASSERT_TRUE(IsControlEnabled(editor, IDC_OK_BUTTON));
        ClickControl(editor, IDC_OK_BUTTON);
        EXPECT_TRUE(WaitUntilGone(editor));
        ClickControl(main, IDC_EXIT);
        const WindowRef box = WaitForWindow("PELKAR");
        ASSERT_NE(box, main);
        const std::string text = MessageBoxText(box);
        EXPECT_EQ(text.rfind("The profile " + profile +
                                 " could not be saved: it is in an encoding PELKAR cannot read",
                             0),
                  0u)
            << text;
        EXPECT_NE(text.find("Close it all the same?"), std::string::npos) << text;
        SaveScreenshot(box, "profile-not-saved");
        AnswerMessageBox(box, IDOK);
        EXPECT_TRUE(WaitUntilGone(main));
    });
    EXPECT_EQ(ReadWholeFile(m_profile.Path()), before);
}

// PELKAR.EXE itself, started from the desktop with a recording, on a profile in an encoding
// it cannot read. The command line comes from the system, so the program runs as a process of
// its own, with its own profile.
class DesktopRunWin32Test : public ::testing::Test {
protected:
    DesktopRunWin32Test() { WriteWholeFile(ProfilePath(), MarkedUtf16BeOfLatin1(NewsProfile())); }
    ~DesktopRunWin32Test() override { std::filesystem::remove(ProfilePath()); }

    static std::string ProfilePath() { return WindowsDirectory() + "\\PELKAR.INI"; }
    // The host's command, after the options given (each followed by a blank).
    static std::string Command(const std::string& firstOptions) {
        return "\"" + PelkarPath() + "\" " + firstOptions + "--mpeg " + kRecordingOnTheHost +
               " --title Show";
    }
};

TEST_F(DesktopRunWin32Test, DryRunShowsTheUnreadableProfileInItsReport) {
    CDesktopProgram program(Command("--dry-run "));
    ASSERT_NE(program.Id(), 0u);
    const WindowRef window = WaitForWindow("PELKAR", program.Id());
    ASSERT_NE(window, 0u);
    EXPECT_NE(ControlText(window, IDC_REPORT_TEXT)
                  .find("\r\nNo action would be run: The profile " + ProfilePath() +
                        " cannot be read: it is in an encoding PELKAR cannot read."),
              std::string::npos)
        << ControlText(window, IDC_REPORT_TEXT);
    ClickControl(window, IDC_REPORT_OK);
    EXPECT_EQ(program.WaitForExit(), 1);
}

// The run ends soon, but its balloon stays up long enough to be read.
TEST_F(DesktopRunWin32Test, UnattendedRunShowsTheUnreadableProfileInABalloon) {
    CDesktopProgram program(Command(""));
    ASSERT_NE(program.Id(), 0u);
    const WindowRef balloon = WaitForBalloon();
    ASSERT_NE(balloon, 0u);
    SaveScreenshot(balloon, "balloon-unreadable-profile");
    EXPECT_EQ(program.WaitForExit(), 1);
}

TEST_F(DialogHostWin32Test, HelpKeyPassesPreTranslateMessageAndArrivesAsHelp) {
    CHelpRecordingDialog dialog;
    RunWithUser([&] { dialog.DoModal(); },
                [] {
                    const WindowRef window = WaitForWindow("About");
                    ASSERT_NE(window, 0u);
                    PressKeyboardKey(window, VK_F1);
                    PressKey(window, VK_ESCAPE);
                    EXPECT_TRUE(WaitUntilGone(window));
                });
    ASSERT_EQ(dialog.helpControls.size(), 1u);
    EXPECT_EQ(dialog.helpControls[0], IDC_VISIT_WEB_SITE);
    EXPECT_EQ(dialog.keysBeforeHelp, 1u);
    EXPECT_EQ(dialog.keys, std::vector<unsigned>({VK_F1, VK_ESCAPE}));
}
