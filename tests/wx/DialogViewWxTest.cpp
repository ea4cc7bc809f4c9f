#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/listbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <ostream>
#include <string>
#include <vector>

#include "WxTestSupport.h"
#include "model/Action.h"
#include "res/ProductInfo.h"
#include "res/Resource.h"
#include "ui/AboutDialog.h"
#include "ui/ActionDialog.h"
#include "ui/SettingsDialog.h"

namespace {

// A dialog on the settings template that counts what reaches its handlers, and changes its
// controls from code when a test asks.
class CCountingDialog : public CDialog {
public:
    CCountingDialog() : CDialog(IDD_SETTINGS) {}

    void SetTextFromCode(int id, const std::string& text) { SetDlgItemText(id, text); }
    void CheckFromCode(int id, int check) { CheckDlgButton(id, check); }
    void EnableFromCode(int id, bool enable) { EnableDlgItem(id, enable); }
    void SelectFromCode(int id, int start, int end) { SetEditSel(id, start, end); }

    int changes = 0;
    int clicks = 0;

protected:
    const std::vector<SMessageEntry>& GetMessageTable() const override {
        static const std::vector<SMessageEntry> table = {
            {IDC_FFMPEG_PATH, EN_CHANGE, Bind(&CCountingDialog::OnChange)},
            {IDC_LOGGING, BN_CLICKED, Bind(&CCountingDialog::OnClick)},
        };
        return table;
    }

private:
    void OnChange() { ++changes; }
    void OnClick() { ++clicks; }
};

// A dialog on the main window's template with three rows in its list, which keeps Esc from
// closing it as the main window does.
class CListDialog : public CDialog {
public:
    CListDialog() : CDialog(IDD_PELKAR_DIALOG) {}

    bool OnInitDialog() override {
        for (const char* row : {"One", "Two", "Three"}) AddString(IDC_ACTION_LIST, row);
        SetCurSel(IDC_ACTION_LIST, 0);
        return true;
    }
    bool PreTranslateMessage(MSG* pMsg) override {
        if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_ESCAPE) pMsg->wParam = 0;
        return false;
    }
    void SelectFromCode(int row) { SetCurSel(IDC_ACTION_LIST, row); }

    int selectionChanges = 0;
    int doubleClicks = 0;

protected:
    const std::vector<SMessageEntry>& GetMessageTable() const override {
        static const std::vector<SMessageEntry> table = {
            {IDC_ACTION_LIST, LBN_SELCHANGE, Bind(&CListDialog::OnSelectionChange)},
            {IDC_ACTION_LIST, LBN_DBLCLK, Bind(&CListDialog::OnDoubleClick)},
        };
        return table;
    }

private:
    void OnSelectionChange() { ++selectionChanges; }
    void OnDoubleClick() { ++doubleClicks; }
};

wxTextCtrl& EditOf(CWxDialogView& view, int id) {
    return *static_cast<wxTextCtrl*>(view.FindControlWindow(id));
}

wxListBox& ListOf(CWxDialogView& view) {
    return *static_cast<wxListBox*>(view.FindControlWindow(IDC_ACTION_LIST));
}

CAction CompleteAction() {
    CAction action;
    action.SetName("News");
    action.SetOutputDirectory("/tmp");
    action.SetOutputFilename("%title%");
    action.GetFilter().SetTitleFlag(1);
    action.GetFilter().SetTitle("*News*");
    return action;
}

void ConfigureSettings(CSettingsDialog& dialog) {
    dialog.SetRtvEditPath("rtvedit");
    dialog.SetEvtDumpPath("evtdump");
    dialog.SetFfmpegPath("ffmpeg");
    dialog.SetTempDirectory("/tmp/");
    dialog.SetLogging(0);
    dialog.SetLoggingPath("pelkar.log");
}

}  // namespace

class WxControlStateTest : public WxTest {};

TEST_F(WxControlStateTest, TextSetByCodeShowsWithoutComingBackAsTyping) {
    CCountingDialog dialog;
    RunInWindow(dialog, [&dialog](CWxDialogView& view) {
        const int focusBefore = dialog.GetFocusId();
        dialog.SetTextFromCode(IDC_TEMP_PATH, "/var/tmp");
        dialog.SetTextFromCode(IDC_FFMPEG_PATH, "/usr/bin/ffmpeg");
        EXPECT_EQ(EditOf(view, IDC_FFMPEG_PATH).GetValue(), "/usr/bin/ffmpeg");
        EXPECT_EQ(EditOf(view, IDC_TEMP_PATH).GetValue(), "/var/tmp");
        // Only the dialog's own notification of the change.
        EXPECT_EQ(dialog.changes, 1);
        EXPECT_EQ(dialog.GetFocusId(), focusBefore);
    });
}

TEST_F(WxControlStateTest, TypingReachesTheDialogAsOneChangeWithTheFocus) {
    CCountingDialog dialog;
    RunInWindow(dialog, [&dialog](CWxDialogView& view) {
        TypeText(EditOf(view, IDC_EVTDUMP_PATH), "elsewhere");
        TypeText(EditOf(view, IDC_FFMPEG_PATH), "ffmpeg-6");
        EXPECT_EQ(dialog.GetDlgItemText(IDC_FFMPEG_PATH), "ffmpeg-6");
        EXPECT_EQ(dialog.changes, 1);
        EXPECT_EQ(dialog.GetFocusId(), IDC_FFMPEG_PATH);
    });
}

TEST_F(WxControlStateTest, CheckSetByCodeShowsWithoutComingBackAsClick) {
    CCountingDialog dialog;
    RunInWindow(dialog, [&dialog](CWxDialogView& view) {
        dialog.CheckFromCode(IDC_LOGGING, 1);
        EXPECT_TRUE(static_cast<wxCheckBox*>(view.FindControlWindow(IDC_LOGGING))->GetValue());
        EXPECT_EQ(dialog.clicks, 0);
    });
}

TEST_F(WxControlStateTest, ClickingCheckBoxTogglesItInTheDialog) {
    CCountingDialog dialog;
    RunInWindow(dialog, [&dialog](CWxDialogView& view) {
        ToggleCheckBox(*view.FindControlWindow(IDC_LOGGING));
        EXPECT_EQ(dialog.IsDlgButtonChecked(IDC_LOGGING), 1);
        EXPECT_EQ(dialog.clicks, 1);
        EXPECT_EQ(dialog.GetFocusId(), IDC_LOGGING);
    });
}

TEST_F(WxControlStateTest, ControlDisabledByTheDialogIsDisabledOnScreen) {
    CCountingDialog dialog;
    RunInWindow(dialog, [&dialog](CWxDialogView& view) {
        dialog.EnableFromCode(IDC_CANCEL_BUTTON, false);
        EXPECT_FALSE(view.FindControlWindow(IDC_CANCEL_BUTTON)->IsEnabled());
        dialog.EnableFromCode(IDC_CANCEL_BUTTON, true);
        EXPECT_TRUE(view.FindControlWindow(IDC_CANCEL_BUTTON)->IsEnabled());
    });
}

TEST_F(WxControlStateTest, SelectionSetByCodeShowsInTheEdit) {
    CCountingDialog dialog;
    RunInWindow(dialog, [&dialog](CWxDialogView& view) {
        dialog.SetTextFromCode(IDC_FFMPEG_PATH, "abcdef");
        dialog.SelectFromCode(IDC_FFMPEG_PATH, 2, 4);
        long from = 0;
        long to = 0;
        EditOf(view, IDC_FFMPEG_PATH).GetSelection(&from, &to);
        EXPECT_EQ(from, 2);
        EXPECT_EQ(to, 4);
    });
}

TEST_F(WxControlStateTest, ListRowsAndSelectionFromCodeShowWithoutSelectionChange) {
    CListDialog dialog;
    RunInWindow(dialog, [&dialog](CWxDialogView& view) {
        wxListBox& list = ListOf(view);
        ASSERT_EQ(list.GetCount(), 3u);
        EXPECT_EQ(list.GetString(2), "Three");
        dialog.SelectFromCode(1);
        EXPECT_EQ(list.GetSelection(), 1);
        dialog.SelectFromCode(-1);
        EXPECT_EQ(list.GetSelection(), wxNOT_FOUND);
        EXPECT_EQ(dialog.selectionChanges, 0);
    });
}

TEST_F(WxControlStateTest, PickingAndDoubleClickingRowsReachTheDialog) {
    CListDialog dialog;
    RunInWindow(dialog, [&dialog](CWxDialogView& view) {
        PickListItem(ListOf(view), 2);
        EXPECT_EQ(dialog.GetCurSel(IDC_ACTION_LIST), 2);
        EXPECT_EQ(dialog.selectionChanges, 1);
        DoubleClickListItem(ListOf(view), 1);
        EXPECT_EQ(dialog.GetCurSel(IDC_ACTION_LIST), 1);
        EXPECT_EQ(dialog.doubleClicks, 1);
    });
}

class WxSettingsWindowTest : public WxTest {};

TEST_F(WxSettingsWindowTest, ClearingAPathDisablesOkUntilOneIsTyped) {
    CSettingsDialog dialog;
    ConfigureSettings(dialog);
    const int result = RunInWindow(dialog, [](CWxDialogView& view) {
        wxWindow& ok = *view.FindControlWindow(IDC_OK_BUTTON);
        EXPECT_TRUE(ok.IsEnabled());
        TypeText(EditOf(view, IDC_FFMPEG_PATH), "   ");
        EXPECT_FALSE(ok.IsEnabled());
        TypeText(EditOf(view, IDC_FFMPEG_PATH), "  /opt/ffmpeg ");
        EXPECT_TRUE(ok.IsEnabled());
        ClickButton(ok);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dialog.GetFfmpegPath(), "/opt/ffmpeg");
}

TEST_F(WxSettingsWindowTest, TickingLoggingEnablesTheLogPathEdit) {
    CSettingsDialog dialog;
    ConfigureSettings(dialog);
    RunInWindow(dialog, [](CWxDialogView& view) {
        EXPECT_FALSE(view.FindControlWindow(IDC_LOGGING_PATH)->IsEnabled());
        ToggleCheckBox(*view.FindControlWindow(IDC_LOGGING));
        EXPECT_TRUE(view.FindControlWindow(IDC_LOGGING_PATH)->IsEnabled());
    });
}

TEST_F(WxSettingsWindowTest, CancelEndsWithCancelAndKeepsTheCallersValues) {
    CSettingsDialog dialog;
    ConfigureSettings(dialog);
    const int result = RunInWindow(dialog, [](CWxDialogView& view) {
        TypeText(EditOf(view, IDC_FFMPEG_PATH), "other");
        ClickButton(*view.FindControlWindow(IDC_CANCEL_BUTTON));
    });
    EXPECT_EQ(result, IDCANCEL);
}

class WxKeyTest : public WxTest {};

TEST_F(WxKeyTest, EscTakenAwayByTheDialogLeavesItOpen) {
    CListDialog dialog;
    RunInWindow(dialog, [&dialog](CWxDialogView& view) {
        EXPECT_TRUE(PressKey(*view.GetWindow(), WXK_ESCAPE));
        EXPECT_FALSE(dialog.HasEnded());
    });
}

TEST_F(WxKeyTest, EscEndsTheAboutBoxThroughCancel) {
    CAboutDialog dialog;
    const int result =
        RunInWindow(dialog, [](CWxDialogView& view) { PressKey(*view.GetWindow(), WXK_ESCAPE); });
    EXPECT_EQ(result, IDCANCEL);
}

TEST_F(WxKeyTest, TabMovesTheDialogsFocus) {
    CCountingDialog dialog;
    RunInWindow(dialog, [&dialog](CWxDialogView& view) {
        ASSERT_EQ(dialog.GetFocusId(), IDC_FFMPEG_PATH);
        EXPECT_TRUE(PressKey(*view.GetWindow(), WXK_TAB));
        EXPECT_EQ(dialog.GetFocusId(), IDC_BROWSE_FFMPEG);
    });
}

TEST_F(WxKeyTest, LetterInAnEditGoesOnToTheEdit) {
    CCountingDialog dialog;
    RunInWindow(dialog,
                [](CWxDialogView& view) { EXPECT_FALSE(PressKey(*view.GetWindow(), 'A')); });
}

TEST_F(WxKeyTest, EnterInAnEditPressesTheDefaultButton) {
    CActionDialog dialog;
    dialog.SetAction(CompleteAction());
    const int result = RunInWindow(dialog, [&dialog](CWxDialogView& view) {
        ASSERT_EQ(dialog.GetFocusId(), IDC_NAME);
        PressKey(*view.GetWindow(), WXK_RETURN);
    });
    EXPECT_EQ(result, IDOK);
}

// The focus starts on the About box's default button, so Enter closes it and opens no page.
TEST_F(WxKeyTest, EnterInTheAboutBoxPressesItsFocusedDefaultButton) {
    CAboutDialog dialog;
    const int result = RunInWindow(dialog, [&dialog](CWxDialogView& view) {
        EXPECT_EQ(dialog.GetFocusId(), IDC_CLOSE);
        EXPECT_EQ(view.FindControlWindow(IDC_CLOSE), wxWindow::FindFocus());
        PressKey(*view.GetWindow(), WXK_RETURN);
    });
    EXPECT_EQ(result, IDOK);
}

// A text that would not load back from the stored text as typed (a bar that would split it, a
// pattern that reads as the marker of an empty one), typed into one field of a complete action.
struct SRefusedCase {
    const char* name;
    int edit;
    int check;  // the row's check box to tick first, 0 for none
    const char* text;
    const char* message;
};

// Names the row in test listings.
void PrintTo(const SRefusedCase& row, std::ostream* out) {
    *out << row.name;
}

class WxRefusedFieldTest : public WxTest, public ::testing::WithParamInterface<SRefusedCase> {};

TEST_P(WxRefusedFieldTest, OkIsRefusedNamingTheFieldAndTheTextStaysOnScreen) {
    const SRefusedCase& row = GetParam();
    CActionDialog dialog;
    dialog.SetAction(CompleteAction());
    const int result = RunInWindow(dialog, [&dialog, &row](CWxDialogView& view) {
        if (row.check != 0) ToggleCheckBox(*view.FindControlWindow(row.check));
        TypeText(EditOf(view, row.edit), wxString::FromUTF8(row.text));
        const CMessageBoxLeaver leaver(EBoxExit::Escape);
        ClickButton(*view.FindControlWindow(IDC_OK_BUTTON));
        EXPECT_FALSE(dialog.HasEnded());
        ASSERT_EQ(1, leaver.BoxesShown());
        EXPECT_EQ(row.message, leaver.Messages()[0]);
        EXPECT_EQ(wxString::FromUTF8(row.text), EditOf(view, row.edit).GetValue());
    });
    EXPECT_EQ(IDCANCEL, result);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, WxRefusedFieldTest,
    ::testing::Values(
        SRefusedCase{"Name", IDC_NAME, 0, "Rock || Roll", "The Name field cannot contain \"|\"."},
        SRefusedCase{"OutputDirectory", IDC_OUTPUT_DIRECTORY, 0, "/srv||out",
                     "The Output directory field cannot contain \"|\"."},
        SRefusedCase{"OutputFilename", IDC_OUTPUT_FILENAME, 0, "|%title%",
                     "The Output filename field cannot contain \"|\"."},
        SRefusedCase{"TitlePattern", kFilterRowIds[FieldTitle].edit, 0, "*News*|",
                     "The %title% field cannot contain \"|\"."},
        SRefusedCase{"RCatPattern", kFilterRowIds[FieldRCat].edit, kFilterRowIds[FieldRCat].check,
                     "Film||Drama", "The %rcat% field cannot contain \"|\"."},
        SRefusedCase{"TitlePatternNullMarker", kFilterRowIds[FieldTitle].edit, 0, "<NULL>",
                     "The %title% field would be read back from the profile as \"\" instead of "
                     "\"<NULL>\"."}),
    [](const ::testing::TestParamInfo<SRefusedCase>& info) { return info.param.name; });

class WxWindowTest : public WxTest {};

TEST_F(WxWindowTest, CloseBoxEndsTheDialogThroughCancel) {
    CListDialog dialog;
    const int result = RunInWindow(dialog, [](CWxDialogView& view) { view.GetWindow()->Close(); });
    EXPECT_EQ(result, IDCANCEL);
}

TEST_F(WxWindowTest, AboutBoxShowsItsCaptionAndLines) {
    CAboutDialog dialog;
    RunInWindow(dialog, [](CWxDialogView& view) {
        EXPECT_EQ(view.GetWindow()->GetTitle(), kAboutCaption);
        EXPECT_EQ(view.FindControlWindow(IDC_ABOUT_LINE1)->GetLabel(), kProductTitle);
        EXPECT_EQ(view.FindControlWindow(IDC_ABOUT_LINE2)->GetLabel(), kCopyrightLine);
    });
}

TEST_F(WxWindowTest, MainWindowHasItsIconAndAMinimiseButNoMaximiseBox) {
    CListDialog dialog;
    RunInWindow(dialog, [](CWxDialogView& view) {
        const long style = view.GetWindow()->GetWindowStyleFlag();
        EXPECT_NE(style & wxMINIMIZE_BOX, 0);
        EXPECT_EQ(style & wxMAXIMIZE_BOX, 0);
        EXPECT_FALSE(view.GetWindow()->GetIcons().IsEmpty());
    });
}

TEST_F(WxWindowTest, AboutBoxHasNeitherIconNorMinimiseBox) {
    CAboutDialog dialog;
    RunInWindow(dialog, [](CWxDialogView& view) {
        EXPECT_EQ(view.GetWindow()->GetWindowStyleFlag() & wxMINIMIZE_BOX, 0);
        EXPECT_TRUE(view.GetWindow()->GetIcons().IsEmpty());
    });
}

TEST_F(WxWindowTest, DialogOpenedFromAnotherIsOwnedByItsWindow) {
    CListDialog outer;
    RunInWindow(outer, [&outer](CWxDialogView& outerView) {
        CAboutDialog inner(&outer);
        RunInWindow(inner, [&outerView](CWxDialogView& innerView) {
            EXPECT_EQ(innerView.GetWindow()->GetParent(), outerView.GetWindow());
        });
    });
}
