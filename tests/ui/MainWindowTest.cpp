#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "UiTestSupport.h"
#include "platform/Paths.h"
#include "res/ProductInfo.h"
#include "res/Resource.h"

namespace {

using Names = std::vector<std::string>;

const char* const kCommandNotice =
    "The following DVArchive post download command has been copied to the clipboard:\n\n";

// The enabled state of the seven list buttons, in the order Add, Copy, Edit, Remove,
// Remove All, Move Up, Move Down.
std::string ListButtons(const CDialog& window) {
    std::string states;
    for (int id : {IDC_ADD, IDC_COPY, IDC_EDIT_ACTION, IDC_REMOVE, IDC_REMOVE_ALL, IDC_MOVE_UP,
                   IDC_MOVE_DOWN}) {
        states += window.IsDlgItemEnabled(id) ? '1' : '0';
    }
    return states;
}

class MainWindowTest : public UiTest {
protected:
    void StoreActions(const Names& names) {
        ProfileBuilder profile;
        for (const std::string& name : names) {
            profile.Action(MakeTitleAction(name, "/srv/out", name + "*"));
        }
        WriteProfile(profile);
    }
    void StoreNumberedActions(int count) {
        Names names;
        for (int i = 0; i < count; ++i) names.push_back("Action " + std::to_string(i));
        StoreActions(names);
    }
    int Selection(const CDialog& window) const { return window.GetCurSel(IDC_ACTION_LIST); }
};

TEST_F(MainWindowTest, EmptyListLeavesOnlyAddAmongListButtonsEnabled) {
    RunMainWindow([](CDialog& window) {
        EXPECT_EQ("PELKAR", window.GetWindowText());
        EXPECT_EQ(0, window.GetCount(IDC_ACTION_LIST));
        EXPECT_EQ("1000000", ListButtons(window));
        for (int id : {IDC_CONFIGURATION, IDC_COMMAND, IDC_ABOUT, IDC_EXIT}) {
            EXPECT_TRUE(window.IsDlgItemEnabled(id)) << id;
        }
    });
}

TEST_F(MainWindowTest, ShowsActionNamesWithFirstRowSelected) {
    StoreActions({"News", "Films", "Music"});
    RunMainWindow([this](CDialog& window) {
        EXPECT_EQ((Names{"News", "Films", "Music"}), ListRows(window, IDC_ACTION_LIST));
        EXPECT_EQ(0, Selection(window));
        EXPECT_EQ("1111101", ListButtons(window));
    });
}

TEST_F(MainWindowTest, MoveButtonsFollowTheSelectedRow) {
    StoreActions({"A", "B", "C"});
    RunMainWindow([](CDialog& window) {
        window.UserSelectItem(IDC_ACTION_LIST, 1);
        EXPECT_TRUE(window.IsDlgItemEnabled(IDC_MOVE_UP));
        EXPECT_TRUE(window.IsDlgItemEnabled(IDC_MOVE_DOWN));
        window.UserSelectItem(IDC_ACTION_LIST, 2);
        EXPECT_TRUE(window.IsDlgItemEnabled(IDC_MOVE_UP));
        EXPECT_FALSE(window.IsDlgItemEnabled(IDC_MOVE_DOWN));
        window.UserKeyDown(VK_UP);
        window.UserKeyDown(VK_UP);
        EXPECT_EQ(0, window.GetCurSel(IDC_ACTION_LIST));
        EXPECT_FALSE(window.IsDlgItemEnabled(IDC_MOVE_UP));
        EXPECT_TRUE(window.IsDlgItemEnabled(IDC_MOVE_DOWN));
    });
}

// A key pressed in a list of twenty rows; the list shows seven rows at a time, so a page
// moves six rows on.
struct SListKey {
    const char* name;
    unsigned key;
    int from;
    int to;
};

class ListKeyTest : public MainWindowTest, public ::testing::WithParamInterface<SListKey> {};

TEST_P(ListKeyTest, KeySelectsTheRowAndTheButtonsFollow) {
    StoreNumberedActions(20);
    RunMainWindow([](CDialog& window) {
        window.UserSelectItem(IDC_ACTION_LIST, GetParam().from);
        EXPECT_TRUE(window.UserKeyDown(GetParam().key));
        const int row = window.GetCurSel(IDC_ACTION_LIST);
        EXPECT_EQ(GetParam().to, row);
        EXPECT_EQ(row > 0, window.IsDlgItemEnabled(IDC_MOVE_UP));
        EXPECT_EQ(row < 19, window.IsDlgItemEnabled(IDC_MOVE_DOWN));
    });
}

INSTANTIATE_TEST_SUITE_P(Keys, ListKeyTest,
                         ::testing::Values(SListKey{"HomeFromTheMiddle", VK_HOME, 10, 0},
                                           SListKey{"EndFromTheTop", VK_END, 0, 19},
                                           SListKey{"PageDownFromTheTop", VK_NEXT, 0, 6},
                                           SListKey{"PageDownNearTheEnd", VK_NEXT, 16, 19},
                                           SListKey{"PageUpFromTheMiddle", VK_PRIOR, 10, 4},
                                           SListKey{"PageUpNearTheTop", VK_PRIOR, 3, 0},
                                           SListKey{"UpAtTheTop", VK_UP, 0, 0}),
                         [](const ::testing::TestParamInfo<SListKey>& info) {
                             return info.param.name;
                         });

TEST_F(MainWindowTest, FullListDisablesAddAndCopyUntilOneIsRemoved) {
    StoreNumberedActions(75);
    RunMainWindow([this](CDialog& window) {
        EXPECT_EQ(75, window.GetCount(IDC_ACTION_LIST));
        EXPECT_FALSE(window.IsDlgItemEnabled(IDC_ADD));
        EXPECT_FALSE(window.IsDlgItemEnabled(IDC_COPY));
        EXPECT_FALSE(window.UserClick(IDC_ADD));
        host.AnswerMessageBox(IDYES);
        EXPECT_TRUE(window.UserClick(IDC_REMOVE));
        EXPECT_TRUE(window.IsDlgItemEnabled(IDC_ADD));
        EXPECT_TRUE(window.IsDlgItemEnabled(IDC_COPY));
    });
    EXPECT_EQ(74u, StoredActionNames().size());
}

TEST_F(MainWindowTest, RemovingLastRowSelectsNewLastRow) {
    StoreActions({"A", "B", "C"});
    RunMainWindow([this](CDialog& window) {
        window.UserSelectItem(IDC_ACTION_LIST, 2);
        host.AnswerMessageBox(IDYES);
        window.UserClick(IDC_REMOVE);
        EXPECT_EQ((Names{"A", "B"}), ListRows(window, IDC_ACTION_LIST));
        EXPECT_EQ(1, Selection(window));
        EXPECT_EQ((Names{"A", "B"}), StoredActionNames());
        EXPECT_EQ("", StoredValue("action02"));
    });
}

TEST_F(MainWindowTest, RemovingMiddleRowSelectsTheRowThatMovedUp) {
    StoreActions({"A", "B", "C"});
    RunMainWindow([this](CDialog& window) {
        window.UserSelectItem(IDC_ACTION_LIST, 1);
        host.AnswerMessageBox(IDYES);
        window.UserClick(IDC_REMOVE);
        EXPECT_EQ((Names{"A", "C"}), ListRows(window, IDC_ACTION_LIST));
        EXPECT_EQ(1, Selection(window));
        EXPECT_EQ((Names{"A", "C"}), StoredActionNames());
    });
}

TEST_F(MainWindowTest, RemovingOnlyRowSelectsNothingAndDisablesListButtons) {
    StoreActions({"A"});
    RunMainWindow([this](CDialog& window) {
        host.AnswerMessageBox(IDYES);
        window.UserClick(IDC_REMOVE);
        EXPECT_EQ(0, window.GetCount(IDC_ACTION_LIST));
        EXPECT_EQ(-1, Selection(window));
        EXPECT_EQ("1000000", ListButtons(window));
        EXPECT_TRUE(StoredActionNames().empty());
    });
}

TEST_F(MainWindowTest, RemoveAsksWithExclamationYesNoAndNoKeepsEverything) {
    StoreActions({"A", "B"});
    const std::string before = ReadWholeFile(ProfilePath());
    RunMainWindow([&](CDialog& window) {
        host.AnswerMessageBox(IDNO);
        window.UserClick(IDC_REMOVE);
        ASSERT_EQ(1u, host.MessageBoxes().size());
        const SShownMessageBox& box = host.MessageBoxes()[0];
        EXPECT_EQ("Are you sure you want remove the selected action?", box.text);
        EXPECT_EQ("PELKAR", box.caption);
        EXPECT_EQ(0x34u, box.style);
        EXPECT_EQ((Names{"A", "B"}), ListRows(window, IDC_ACTION_LIST));
        EXPECT_EQ(before, ReadWholeFile(ProfilePath()));
    });
}

// A removal question left with Esc or its close box, as a Yes/No box is on every host.
struct SLeftQuestion {
    const char* name;
    int button;
    void (CHeadlessHost::*leave)();
};

class QuestionLeftWithoutButtonTest : public MainWindowTest,
                                      public ::testing::WithParamInterface<SLeftQuestion> {};

TEST_P(QuestionLeftWithoutButtonTest, KeepsEveryActionAndTheProfile) {
    StoreActions({"A", "B", "C"});
    const std::string before = ReadWholeFile(ProfilePath());
    RunMainWindow([&](CDialog& window) {
        window.UserSelectItem(IDC_ACTION_LIST, 1);
        (host.*GetParam().leave)();
        EXPECT_TRUE(window.UserClick(GetParam().button));
        ASSERT_EQ(1u, host.MessageBoxes().size());
        EXPECT_EQ(0x34u, host.MessageBoxes()[0].style);
        EXPECT_EQ((Names{"A", "B", "C"}), ListRows(window, IDC_ACTION_LIST));
        EXPECT_EQ(1, Selection(window));
        EXPECT_EQ(before, ReadWholeFile(ProfilePath()));
    });
}

INSTANTIATE_TEST_SUITE_P(
    Questions, QuestionLeftWithoutButtonTest,
    ::testing::Values(
        SLeftQuestion{"RemoveEsc", IDC_REMOVE, &CHeadlessHost::PressEscapeOnMessageBox},
        SLeftQuestion{"RemoveCloseBox", IDC_REMOVE, &CHeadlessHost::CloseMessageBox},
        SLeftQuestion{"RemoveAllEsc", IDC_REMOVE_ALL, &CHeadlessHost::PressEscapeOnMessageBox},
        SLeftQuestion{"RemoveAllCloseBox", IDC_REMOVE_ALL, &CHeadlessHost::CloseMessageBox}),
    [](const ::testing::TestParamInfo<SLeftQuestion>& info) { return info.param.name; });

TEST_F(MainWindowTest, RemoveAllAfterYesEmptiesListAndStore) {
    StoreActions({"A", "B"});
    RunMainWindow([this](CDialog& window) {
        host.AnswerMessageBox(IDYES);
        window.UserClick(IDC_REMOVE_ALL);
        EXPECT_EQ("Are you sure you want remove all actions?", host.MessageBoxes().at(0).text);
        EXPECT_EQ(0, window.GetCount(IDC_ACTION_LIST));
        EXPECT_TRUE(StoredActionNames().empty());
        EXPECT_EQ("", StoredValue("action01"));
    });
}

TEST_F(MainWindowTest, AddAppendsTheNewActionSelectedAndSavesIt) {
    StoreActions({"A"});
    host.OnDialog(IDD_ACTION, [](CDialog& editor) {
        EXPECT_EQ("Add Action", editor.GetWindowText());
        EnterCompleteAction(editor, "Late News");
    });
    RunMainWindow([this](CDialog& window) {
        window.UserClick(IDC_ADD);
        EXPECT_EQ((Names{"A", "Late News"}), ListRows(window, IDC_ACTION_LIST));
        EXPECT_EQ(1, Selection(window));
        EXPECT_EQ((Names{"A", "Late News"}), StoredActionNames());
    });
}

// A profile PELKAR cannot write keeps the window's edits nowhere: the user hears of it
// before the window goes, and may keep it open.
TEST_F(MainWindowTest, EditsThatCannotBeSavedAreReportedBeforeTheWindowCloses) {
    WriteWholeFile(ProfilePath(), std::string("\xFE\xFF\0[\0P\0]\0\n", 10));
    host.OnDialog(IDD_ACTION, [](CDialog& editor) { EnterCompleteAction(editor, "Late News"); });
    host.AnswerMessageBox(IDOK);
    host.AnswerMessageBox(IDCANCEL);
    host.AnswerMessageBox(IDOK);
    RunMainWindow([](CDialog& window) {
        window.UserClick(IDC_ADD);
        window.UserClose();
        EXPECT_FALSE(window.HasEnded());
        window.UserClose();
        EXPECT_TRUE(window.HasEnded());
    });
    // The note at opening is a box of the window too, not a line nobody at a desktop reads.
    ASSERT_EQ(3u, host.MessageBoxes().size());
    EXPECT_EQ(host.MessageBoxes()[0].text, "The profile " + ProfilePath() +
                                               " is in an encoding PELKAR cannot read; the "
                                               "defaults are used and the file is left as it is.");
    EXPECT_EQ(host.MessageBoxes()[2].text, host.MessageBoxes()[1].text);
    EXPECT_EQ(
        host.MessageBoxes()[1].text,
        "The profile " + ProfilePath() +
            " could not be saved: it is in an encoding PELKAR "
            "cannot read.\n\nThe changes made in this window are lost when it closes. Close it "
            "all the same?");
    EXPECT_EQ(host.MessageBoxes()[1].style, 0x11u);
}

TEST_F(MainWindowTest, CancelledAddChangesAndSavesNothing) {
    host.OnDialog(IDD_ACTION, [](CDialog& editor) {
        editor.UserTypeText(IDC_NAME, "Unwanted");
        editor.UserClick(IDC_CANCEL_BUTTON);
    });
    RunMainWindow([this](CDialog& window) {
        window.UserClick(IDC_ADD);
        EXPECT_EQ(0, window.GetCount(IDC_ACTION_LIST));
        EXPECT_FALSE(ProfileSaved());
    });
}

TEST_F(MainWindowTest, CopyAppendsCopyOfTheSelectedActionAtTheEnd) {
    StoreActions({"News", "Films", "Music"});
    host.OnDialog(IDD_ACTION, [](CDialog& editor) {
        EXPECT_EQ("Copy Action", editor.GetWindowText());
        EXPECT_EQ("Copy Of News", editor.GetDlgItemText(IDC_NAME));
        EXPECT_EQ("News*", editor.GetDlgItemText(kFilterRowIds[FieldTitle].edit));
        editor.UserClick(IDC_OK_BUTTON);
    });
    RunMainWindow([this](CDialog& window) {
        window.UserClick(IDC_COPY);
        EXPECT_EQ((Names{"News", "Films", "Music", "Copy Of News"}),
                  ListRows(window, IDC_ACTION_LIST));
        EXPECT_EQ(3, Selection(window));
        EXPECT_EQ(4u, StoredActionNames().size());
    });
}

TEST_F(MainWindowTest, CancelledCopyAddsNothing) {
    StoreActions({"News"});
    const std::string before = ReadWholeFile(ProfilePath());
    host.OnDialog(IDD_ACTION, [](CDialog& editor) { editor.UserClose(); });
    RunMainWindow([&](CDialog& window) {
        window.UserClick(IDC_COPY);
        EXPECT_EQ((Names{"News"}), ListRows(window, IDC_ACTION_LIST));
        EXPECT_EQ(before, ReadWholeFile(ProfilePath()));
    });
}

TEST_F(MainWindowTest, DoubleClickEditsThatRowAndUnchangedOkKeepsItsStoredText) {
    StoreActions({"A", "B", "C"});
    host.OnDialog(IDD_ACTION, [](CDialog& editor) {
        EXPECT_EQ("Edit Action", editor.GetWindowText());
        EXPECT_EQ("B", editor.GetDlgItemText(IDC_NAME));
        editor.UserClick(IDC_OK_BUTTON);
    });
    RunMainWindow([this](CDialog& window) {
        window.UserDoubleClickItem(IDC_ACTION_LIST, 1);
        EXPECT_EQ(1, Selection(window));
        EXPECT_EQ(MakeTitleAction("B", "/srv/out", "B*").ToString(), StoredValue("action01"));
    });
    EXPECT_EQ((std::vector<int>{IDD_PELKAR_DIALOG, IDD_ACTION}), host.DialogsRun());
}

TEST_F(MainWindowTest, EditReplacesOnlyTheSelectedEntry) {
    StoreActions({"A", "B", "C"});
    host.OnDialog(IDD_ACTION, [](CDialog& editor) {
        editor.UserTypeText(IDC_NAME, "Renamed");
        editor.UserClick(IDC_OK_BUTTON);
    });
    RunMainWindow([this](CDialog& window) {
        window.UserSelectItem(IDC_ACTION_LIST, 2);
        window.UserClick(IDC_EDIT_ACTION);
        EXPECT_EQ((Names{"A", "B", "Renamed"}), ListRows(window, IDC_ACTION_LIST));
        EXPECT_EQ(2, Selection(window));
        EXPECT_EQ((Names{"A", "B", "Renamed"}), StoredActionNames());
    });
}

// However the editor was opened, an action that its stored text would not carry is never
// saved: OK is refused, and the user can only cancel.
class BarredActionTest : public MainWindowTest, public ::testing::WithParamInterface<int> {};

TEST_P(BarredActionTest, IsNeitherListedNorSaved) {
    StoreActions({"A"});
    const std::string before = ReadWholeFile(ProfilePath());
    host.OnDialog(IDD_ACTION, [](CDialog& editor) {
        const SFilterRowIds& title = kFilterRowIds[FieldTitle];
        editor.UserTypeText(IDC_NAME, "Rock || Roll");
        editor.UserTypeText(IDC_OUTPUT_DIRECTORY, "/srv/out");
        editor.UserTypeText(IDC_OUTPUT_FILENAME, "%title%");
        if (!editor.IsDlgButtonChecked(title.check)) editor.UserClick(title.check);
        editor.UserTypeText(title.edit, "Rock*");
        EXPECT_TRUE(editor.UserClick(IDC_OK_BUTTON));
        EXPECT_FALSE(editor.HasEnded());
        editor.UserClick(IDC_CANCEL_BUTTON);
    });
    RunMainWindow([&](CDialog& window) {
        window.UserClick(GetParam());
        EXPECT_EQ((Names{"A"}), ListRows(window, IDC_ACTION_LIST));
        EXPECT_EQ(before, ReadWholeFile(ProfilePath()));
    });
    EXPECT_EQ(1u, host.MessageBoxes().size());
}

INSTANTIATE_TEST_SUITE_P(Editors, BarredActionTest,
                         ::testing::Values(IDC_ADD, IDC_EDIT_ACTION, IDC_COPY));

TEST_F(MainWindowTest, MovingUpThenDownRestoresOrderAndSavesEachMove) {
    StoreActions({"A", "B", "C"});
    RunMainWindow([this](CDialog& window) {
        window.UserSelectItem(IDC_ACTION_LIST, 1);
        window.UserClick(IDC_MOVE_UP);
        EXPECT_EQ((Names{"B", "A", "C"}), StoredActionNames());
        EXPECT_EQ(0, Selection(window));
        window.UserClick(IDC_MOVE_DOWN);
        EXPECT_EQ((Names{"A", "B", "C"}), StoredActionNames());
        EXPECT_EQ((Names{"A", "B", "C"}), ListRows(window, IDC_ACTION_LIST));
        EXPECT_EQ(1, Selection(window));
    });
}

// A button pressed from the keyboard that disables itself.
struct SSelfDisablingButton {
    const char* name;
    int actions;
    int row;
    int button;
};

class SelfDisablingButtonTest : public MainWindowTest,
                                public ::testing::WithParamInterface<SSelfDisablingButton> {};

TEST_P(SelfDisablingButtonTest, FocusMovesToTheActionList) {
    StoreNumberedActions(GetParam().actions);
    RunMainWindow([this](CDialog& window) {
        window.UserSelectItem(IDC_ACTION_LIST, GetParam().row);
        ASSERT_TRUE(window.UserSetFocus(GetParam().button));
        // Remove asks first.
        host.AnswerMessageBox(IDYES);
        EXPECT_TRUE(window.UserKeyDown(VK_SPACE));
        EXPECT_FALSE(window.IsDlgItemEnabled(GetParam().button));
        EXPECT_EQ(IDC_ACTION_LIST, window.GetFocusId());
        // The next Space is the list's, which takes it without opening anything.
        EXPECT_TRUE(window.UserKeyDown(VK_SPACE));
        EXPECT_EQ(1u, host.DialogsRun().size());
    });
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, SelfDisablingButtonTest,
    ::testing::Values(SSelfDisablingButton{"MoveUpReachesTheTop", 3, 1, IDC_MOVE_UP},
                      SSelfDisablingButton{"MoveDownReachesTheBottom", 3, 1, IDC_MOVE_DOWN},
                      SSelfDisablingButton{"RemoveOnTheOnlyRow", 1, 0, IDC_REMOVE}),
    [](const ::testing::TestParamInfo<SSelfDisablingButton>& info) { return info.param.name; });

TEST_F(MainWindowTest, EscapeLeavesTheWindowOpenAndExitEndsItWithOk) {
    RunMainWindow([](CDialog& window) {
        window.UserKeyDown(VK_ESCAPE);
        EXPECT_FALSE(window.HasEnded());
        window.UserClick(IDC_EXIT);
        EXPECT_TRUE(window.HasEnded());
    });
    EXPECT_TRUE(ProfileSaved());
}

TEST_F(MainWindowTest, CommandShowsTheNoticeWhileClipboardIsOpenThenCopiesTheCommand) {
    std::string shownCommand;
    host.OnMessageBox([&](const SShownMessageBox& box) {
        EXPECT_TRUE(host.IsClipboardOpen());
        EXPECT_EQ("", host.ClipboardText());
        EXPECT_EQ(0u, box.text.find(kCommandNotice));
        shownCommand = box.text.substr(std::string(kCommandNotice).size());
        EXPECT_EQ("pelkar", box.caption);
        EXPECT_EQ(unsigned(MB_OK), box.style);
        return IDOK;
    });
    RunMainWindow([](CDialog& window) { window.UserClick(IDC_COMMAND); });
    EXPECT_EQ(shownCommand, host.ClipboardText());
    EXPECT_FALSE(host.IsClipboardOpen());
    EXPECT_EQ(1u, host.MessageBoxes().size());
}

TEST_F(MainWindowTest, CommandWithClipboardHeldElsewhereDoesNothing) {
    host.SetClipboardAvailable(false);
    RunMainWindow([](CDialog& window) { window.UserClick(IDC_COMMAND); });
    EXPECT_TRUE(host.MessageBoxes().empty());
    EXPECT_EQ("", host.ClipboardText());
}

TEST_F(MainWindowTest, ConfigurationOkTakesTheSettingsBackAndSavesThem) {
    host.OnDialog(IDD_SETTINGS, [](CDialog& settings) {
        settings.UserTypeText(IDC_FFMPEG_PATH, "  /usr/local/bin/ffmpeg ");
        settings.UserClick(IDC_LOGGING);
        settings.UserTypeText(IDC_LOGGING_PATH, "/var/log/pelkar.log");
        settings.UserClick(IDC_OK_BUTTON);
    });
    RunMainWindow([this](CDialog& window) {
        window.UserClick(IDC_CONFIGURATION);
        EXPECT_EQ("/usr/local/bin/ffmpeg", StoredValue("ffmpegPath"));
        EXPECT_EQ("1", StoredValue("logging"));
        EXPECT_EQ("/var/log/pelkar.log", StoredValue("loggingPath"));
        EXPECT_EQ(DefaultToolName("rtvedit"), StoredValue("rtvEditPath"));
    });
}

TEST_F(MainWindowTest, CancelledConfigurationKeepsOldValuesAndSavesNothing) {
    WriteProfile(ProfileBuilder().Raw("ffmpegPath", "/opt/ffmpeg"));
    host.OnDialog(IDD_SETTINGS, [](CDialog& settings) {
        EXPECT_EQ("/opt/ffmpeg", settings.GetDlgItemText(IDC_FFMPEG_PATH));
        settings.UserTypeText(IDC_FFMPEG_PATH, "/elsewhere/ffmpeg");
        settings.UserClick(IDC_CANCEL_BUTTON);
    });
    host.OnDialog(IDD_SETTINGS, [](CDialog& settings) {
        EXPECT_EQ("/opt/ffmpeg", settings.GetDlgItemText(IDC_FFMPEG_PATH));
    });
    const std::string before = ReadWholeFile(ProfilePath());
    RunMainWindow([&](CDialog& window) {
        window.UserClick(IDC_CONFIGURATION);
        EXPECT_EQ(before, ReadWholeFile(ProfilePath()));
        window.UserClick(IDC_CONFIGURATION);
    });
    EXPECT_EQ("/opt/ffmpeg", StoredValue("ffmpegPath"));
}

TEST_F(MainWindowTest, AboutButtonAndSystemMenuEntryOpenTheAboutBox) {
    RunMainWindow([](CDialog& window) {
        const std::vector<SSystemMenuItem>& menu = window.GetSystemMenuItems();
        ASSERT_EQ(2u, menu.size());
        EXPECT_EQ(0u, menu[0].commandId);
        EXPECT_EQ(unsigned(IDM_ABOUTBOX), menu[1].commandId);
        EXPECT_EQ("About PELKAR 0.5", menu[1].text);
        EXPECT_FALSE(window.HasMaximizeBox());
        window.UserClick(IDC_ABOUT);
        window.UserSystemCommand(IDM_ABOUTBOX);
        window.UserSystemCommand(IDM_ABOUTBOX | 0x0F);
        window.UserSystemCommand(SC_MINIMIZE);
        EXPECT_FALSE(window.HasEnded());
    });
    EXPECT_EQ((std::vector<int>{IDD_PELKAR_DIALOG, IDD_ABOUTBOX, IDD_ABOUTBOX, IDD_ABOUTBOX}),
              host.DialogsRun());
}

TEST_F(MainWindowTest, HelpKeyOpensTheProductWebPage) {
    RunMainWindow([](CDialog& window) { window.UserKeyDown(VK_F1); });
    EXPECT_EQ((Names{kProductWebPage}), host.OpenedAddresses());
}

TEST_F(MainWindowTest, CloseBoxEndsTheWindowAndTheStoreIsWrittenOnce) {
    StoreActions({"A"});
    RunMainWindow([](CDialog& window) {
        window.UserClose();
        EXPECT_TRUE(window.HasEnded());
    });
    EXPECT_EQ((Names{"A"}), StoredActionNames());
}

}  // namespace
