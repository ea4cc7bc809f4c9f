#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "UiTestSupport.h"
#include "res/Resource.h"
#include "ui/toolkit/Dialog.h"

namespace {

// A dialog on the action editor's template that records what its handlers see.
class ProbeDialog : public CDialog {
public:
    explicit ProbeDialog(bool endInInit = false) : CDialog(IDD_ACTION), m_endInInit(endInInit) {}

    bool OnInitDialog() override {
        CDialog::OnInitDialog();
        SetDlgItemText(IDC_NAME, "from code");
        if (m_endInInit) OnOK();
        return true;
    }

    // What happened, one entry per handler call: "<event> focus=<id>".
    std::vector<std::string> events;

protected:
    const std::vector<SMessageEntry>& GetMessageTable() const override {
        static const std::vector<SMessageEntry> table = {
            {IDC_NAME, EN_CHANGE, Bind(&ProbeDialog::OnNameChange)},
            {IDC_AUDIO_ONLY, BN_CLICKED, Bind(&ProbeDialog::OnAudioClicked)},
            {IDC_PLACEHOLDERS, CBN_KILLFOCUS, Bind(&ProbeDialog::OnComboKillFocus)},
            {IDC_PLACEHOLDERS, CBN_SELCHANGE, Bind(&ProbeDialog::OnComboSelChange)},
            {IDC_OK_BUTTON, BN_CLICKED, Bind(&CDialog::OnOK)},
        };
        return table;
    }

private:
    void Record(const std::string& event) {
        events.push_back(event + " focus=" + std::to_string(GetFocusId()));
    }
    void OnNameChange() { Record("name:" + GetDlgItemText(IDC_NAME)); }
    void OnAudioClicked() { Record("audio:" + std::to_string(IsDlgButtonChecked(IDC_AUDIO_ONLY))); }
    void OnComboKillFocus() { Record("combo-killfocus"); }
    void OnComboSelChange() { Record("combo-selchange"); }

    bool m_endInInit;
};

// A host that can make no window, as without a display.
class NoWindowHost : public CWindowHost {
public:
    NoWindowHost() { SetWindowHost(this); }
    ~NoWindowHost() override { SetWindowHost(nullptr); }
    std::unique_ptr<CDialogView> CreateView(CDialog&) override {
        ++viewsAsked;
        return nullptr;
    }
    int viewsAsked = 0;
};

// A dialog on the About box's template, whose two buttons are its only tab stops, that disables
// them when a test asks.
class EnablingDialog : public CDialog {
public:
    EnablingDialog() : CDialog(IDD_ABOUTBOX) {}
    void DisableFromCode(int id) { EnableDlgItem(id, false); }
};

class DialogToolkitTest : public UiTest {
protected:
    int Run(ProbeDialog& dialog, CHeadlessHost::Script script) {
        host.OnDialog(IDD_ACTION, std::move(script));
        return dialog.DoModal();
    }
};

TEST_F(DialogToolkitTest, DialogEndingInOnInitDialogNeverAsksForAWindow) {
    ProbeDialog dialog(true);
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_TRUE(host.DialogsRun().empty());
}

TEST_F(DialogToolkitTest, WithoutAWindowTheRunSaysSoAndEndsCancelled) {
    NoWindowHost noWindow;
    ProbeDialog dialog;
    testing::internal::CaptureStderr();
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    const std::string error = testing::internal::GetCapturedStderr();
    EXPECT_EQ(1, noWindow.viewsAsked);
    EXPECT_NE(std::string::npos, error.find("pelkar: ")) << error;
    EXPECT_NE(std::string::npos, error.find("cannot open")) << error;
}

TEST_F(DialogToolkitTest, UnseenQuestionGoesToStandardErrorAndIsAnsweredNo) {
    NoWindowHost noWindow;
    ProbeDialog dialog;
    testing::internal::CaptureStderr();
    EXPECT_EQ(IDNO, dialog.MessageBox("Sure?", "PELKAR", MB_YESNO));
    EXPECT_EQ("PELKAR: Sure?\n", testing::internal::GetCapturedStderr());
}

TEST_F(DialogToolkitTest, TextSetByCodeNotifiesWhileNoControlHasTheFocus) {
    ProbeDialog dialog;
    Run(dialog, [](CDialog&) {});
    ASSERT_FALSE(dialog.events.empty());
    EXPECT_EQ("name:from code focus=0", dialog.events[0]);
}

TEST_F(DialogToolkitTest, TypingFocusesTheEditBeforeItsChangeNotification) {
    ProbeDialog dialog;
    Run(dialog, [](CDialog& d) {
        d.UserSetFocus(IDC_OUTPUT_FILENAME);
        d.UserTypeText(IDC_NAME, "typed");
    });
    EXPECT_EQ("name:typed focus=" + std::to_string(IDC_NAME), dialog.events.back());
}

TEST_F(DialogToolkitTest, ClickedCheckBoxHasTheFocusAndIsToggled) {
    ProbeDialog dialog;
    Run(dialog, [](CDialog& d) {
        d.UserClick(IDC_AUDIO_ONLY);
        d.UserKeyDown(VK_SPACE);
    });
    const std::string focus = " focus=" + std::to_string(IDC_AUDIO_ONLY);
    EXPECT_EQ(
        (std::vector<std::string>{"name:from code focus=0", "audio:1" + focus, "audio:0" + focus}),
        dialog.events);
}

TEST_F(DialogToolkitTest, ComboLosingTheFocusNotifiesAfterTheFocusMoved) {
    ProbeDialog dialog;
    Run(dialog, [](CDialog& d) {
        d.UserOpenComboList(IDC_PLACEHOLDERS);
        EXPECT_TRUE(d.IsComboListOpen(IDC_PLACEHOLDERS));
        d.UserClick(IDC_AUDIO_ONLY);
        EXPECT_FALSE(d.IsComboListOpen(IDC_PLACEHOLDERS));
    });
    const std::string focus = " focus=" + std::to_string(IDC_AUDIO_ONLY);
    EXPECT_EQ("combo-killfocus" + focus, dialog.events.at(1));
    EXPECT_EQ("audio:1" + focus, dialog.events.at(2));
}

TEST_F(DialogToolkitTest, ArrowInTheComboChangesSelectionOnlyWhenThereIsOneToGoTo) {
    ProbeDialog dialog;
    Run(dialog, [](CDialog& d) {
        d.UserSelectItem(IDC_PLACEHOLDERS, 0);
        d.UserKeyDown(VK_UP);
        EXPECT_EQ(0, d.GetCurSel(IDC_PLACEHOLDERS));
        d.UserKeyDown(VK_RIGHT);
        EXPECT_EQ(1, d.GetCurSel(IDC_PLACEHOLDERS));
    });
    EXPECT_EQ(2u, std::count(dialog.events.begin(), dialog.events.end(),
                             "combo-selchange focus=" + std::to_string(IDC_PLACEHOLDERS)));
}

TEST_F(DialogToolkitTest, TabFollowsTemplateOrderSkippingDisabledControlsAndWraps) {
    ProbeDialog dialog;
    Run(dialog, [](CDialog& d) {
        d.UserSetFocus(IDC_TWO_PASS);
        d.UserKeyDown(VK_TAB);
        // "Remove source" is created disabled; the title row comes first in the filter group.
        EXPECT_EQ(kFilterRowIds[FieldTitle].check, d.GetFocusId());
        d.UserKeyDown(VK_TAB, true);
        EXPECT_EQ(IDC_TWO_PASS, d.GetFocusId());
        d.UserSetFocus(IDC_CANCEL_BUTTON);
        d.UserKeyDown(VK_TAB);
        EXPECT_EQ(IDC_NAME, d.GetFocusId());
    });
}

TEST_F(DialogToolkitTest, EnterPressesTheFocusedButtonBeforeTheDefaultOne) {
    ProbeDialog dialog;
    const int result = Run(dialog, [](CDialog& d) {
        d.UserSetFocus(IDC_CANCEL_BUTTON);
        d.UserKeyDown(VK_RETURN);
    });
    EXPECT_EQ(IDCANCEL, result);
}

TEST_F(DialogToolkitTest, EnterPressesTheDefaultButtonWhenEnabled) {
    ProbeDialog dialog;
    EXPECT_EQ(IDOK, Run(dialog, [](CDialog& d) { d.UserKeyDown(VK_RETURN); }));
}

TEST_F(DialogToolkitTest, InputIntoDisabledOrMissingControlsIsRefused) {
    ProbeDialog dialog;
    Run(dialog, [](CDialog& d) {
        EXPECT_FALSE(d.UserClick(IDC_REMOVE_SOURCE));
        EXPECT_FALSE(d.UserSetFocus(IDC_REMOVE_SOURCE));
        EXPECT_FALSE(d.UserTypeText(4242, "x"));
        EXPECT_FALSE(d.UserSelectItem(IDC_PLACEHOLDERS, 13));
        EXPECT_FALSE(d.UserTypeText(IDC_AUDIO_ONLY, "x"));
    });
}

TEST_F(DialogToolkitTest, DisablingTheFocusedControlMovesTheFocusToTheFirstThatTakesIt) {
    EnablingDialog dialog;
    host.OnDialog(IDD_ABOUTBOX, [&dialog](CDialog&) {
        ASSERT_EQ(IDC_VISIT_WEB_SITE, dialog.GetFocusId());
        dialog.DisableFromCode(IDC_VISIT_WEB_SITE);
        EXPECT_EQ(IDC_CLOSE, dialog.GetFocusId());
        dialog.DisableFromCode(IDC_CLOSE);
        EXPECT_EQ(0, dialog.GetFocusId());
    });
    dialog.DoModal();
}

TEST_F(DialogToolkitTest, ScriptThatLeavesTheDialogOpenEndsItThroughTheCancelPath) {
    ProbeDialog dialog;
    EXPECT_EQ(IDCANCEL, Run(dialog, [](CDialog& d) { d.UserTypeText(IDC_NAME, "x"); }));
    EXPECT_TRUE(dialog.HasEnded());
}

}  // namespace
