#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/listbox.h>
#include <wx/uiaction.h>
#include <wx/utils.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ProfileBuilder.h"
#include "ScratchProfile.h"
#include "WxTestSupport.h"
#include "app/PELKARDialog.h"
#include "res/Resource.h"
#include "ui/toolkit/DialogView.h"

namespace {

using Names = std::vector<std::string>;

wxListBox& ListOf(CWxDialogView& view) {
    return *static_cast<wxListBox*>(view.FindControlWindow(IDC_ACTION_LIST));
}

// The main window on a scratch profile, in a window of the wxWidgets host.
class WxMainWindowTest : public WxTest {
protected:
    void StoreActions(const Names& names) {
        ProfileBuilder builder;
        for (const std::string& name : names) {
            builder.Action(MakeTitleAction(name, "/srv/out", name + "*"));
        }
        profile.Write(builder);
    }
    void RunMainWindow(const std::function<void(CPELKARDialog&, CWxDialogView&)>& script) {
        CPELKARDialog window;
        RunInWindow(window, [&](CWxDialogView& view) { script(window, view); });
    }

    ScratchProfile profile;
};

struct SQuestionCase {
    const char* name;
    int button;
    EBoxExit exit;
};

class WxRemovalQuestionTest : public WxMainWindowTest,
                              public ::testing::WithParamInterface<SQuestionCase> {};

TEST_P(WxRemovalQuestionTest, LeftWithoutYesKeepsEveryActionAndTheProfile) {
    StoreActions({"A", "B", "C"});
    const std::string before = ReadWholeFile(profile.Path());
    RunMainWindow([&](CPELKARDialog&, CWxDialogView& view) {
        PickListItem(ListOf(view), 1);
        const CMessageBoxLeaver leaver(GetParam().exit);
        ClickButton(*view.FindControlWindow(GetParam().button));
        EXPECT_EQ(1, leaver.BoxesShown());
        EXPECT_EQ(3u, ListOf(view).GetCount());
        EXPECT_EQ(before, ReadWholeFile(profile.Path()));
    });
}

INSTANTIATE_TEST_SUITE_P(
    Questions, WxRemovalQuestionTest,
    ::testing::Values(SQuestionCase{"RemoveEsc", IDC_REMOVE, EBoxExit::Escape},
                      SQuestionCase{"RemoveCloseBox", IDC_REMOVE, EBoxExit::CloseBox},
                      SQuestionCase{"RemoveAllEsc", IDC_REMOVE_ALL, EBoxExit::Escape},
                      SQuestionCase{"RemoveAllCloseBox", IDC_REMOVE_ALL, EBoxExit::CloseBox}),
    [](const ::testing::TestParamInfo<SQuestionCase>& info) { return info.param.name; });

// A button pressed from the keyboard that disables itself.
struct SSelfDisablingCase {
    const char* name;
    Names actions;
    int row;
    int button;
};

class WxSelfDisablingButtonTest : public WxMainWindowTest,
                                  public ::testing::WithParamInterface<SSelfDisablingCase> {};

TEST_P(WxSelfDisablingButtonTest, FocusMovesToTheActionListOnScreen) {
    StoreActions(GetParam().actions);
    RunMainWindow([&](CPELKARDialog& window, CWxDialogView& view) {
        PickListItem(ListOf(view), GetParam().row);
        for (int tab = 0; tab < 12 && window.GetFocusId() != GetParam().button; ++tab) {
            PressKey(*view.GetWindow(), WXK_TAB);
        }
        ASSERT_EQ(GetParam().button, window.GetFocusId());
        const CMessageBoxLeaver leaver(EBoxExit::YesButton);
        PressKey(*view.GetWindow(), WXK_SPACE);
        EXPECT_FALSE(view.FindControlWindow(GetParam().button)->IsEnabled());
        EXPECT_EQ(IDC_ACTION_LIST, window.GetFocusId());
        EXPECT_EQ(&ListOf(view), wxWindow::FindFocus());
        // Taken by the window, the next Space never reaches the list to open the editor.
        EXPECT_TRUE(PressKey(*view.GetWindow(), WXK_SPACE));
    });
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, WxSelfDisablingButtonTest,
    ::testing::Values(SSelfDisablingCase{"MoveUpReachesTheTop", {"A", "B", "C"}, 1, IDC_MOVE_UP},
                      SSelfDisablingCase{
                          "MoveDownReachesTheBottom", {"A", "B", "C"}, 1, IDC_MOVE_DOWN},
                      SSelfDisablingCase{"RemoveOnTheOnlyRow", {"A"}, 0, IDC_REMOVE}),
    [](const ::testing::TestParamInfo<SSelfDisablingCase>& info) { return info.param.name; });

// While it exists, every action editor that opens in a window of the host is filled by the
// script once it runs, and closed through its close box if the script left it open.
class CEditorFiller : public CWindowHost {
public:
    explicit CEditorFiller(std::function<void(CWxDialogView&)> script)
        : m_host(*GetWindowHost()), m_script(std::move(script)) {
        SetWindowHost(this);
    }
    ~CEditorFiller() override { SetWindowHost(&m_host); }
    CEditorFiller(const CEditorFiller&) = delete;
    CEditorFiller& operator=(const CEditorFiller&) = delete;

    std::unique_ptr<CDialogView> CreateView(CDialog& dialog) override {
        std::unique_ptr<CDialogView> view = m_host.CreateView(dialog);
        auto* shown = dynamic_cast<CWxDialogView*>(view.get());
        if (shown && dialog.GetTemplateId() == IDD_ACTION) {
            wxTheApp->CallAfter([this, &dialog, shown] {
                m_script(*shown);
                EXPECT_TRUE(dialog.HasEnded()) << "the editor refused its input";
                if (!dialog.HasEnded()) shown->GetWindow()->Close();
            });
        }
        return view;
    }

private:
    CWindowHost& m_host;
    std::function<void(CWxDialogView&)> m_script;
};

// On a profile in an encoding PELKAR cannot read, an action added in the window cannot be
// saved: that is asked about before the window closes.
TEST_F(WxMainWindowTest, EditThatCannotBeSavedIsAskedAboutAtExit) {
    WriteWholeFile(profile.Path(), MarkedUtf16BeOfLatin1(ProfileBuilder().Text()));
    const std::string before = ReadWholeFile(profile.Path());
    const CEditorFiller filler([](CWxDialogView& editor) {
        const SFilterRowIds& title = kFilterRowIds[FieldTitle];
        TypeText(*editor.FindControlWindow(IDC_NAME), "Late News");
        TypeText(*editor.FindControlWindow(IDC_OUTPUT_DIRECTORY), "/srv/out");
        TypeText(*editor.FindControlWindow(IDC_OUTPUT_FILENAME), "%title%");
        ToggleCheckBox(*editor.FindControlWindow(title.check));
        TypeText(*editor.FindControlWindow(title.edit), "News*");
        ClickButton(*editor.FindControlWindow(IDC_OK_BUTTON));
    });
    const CMessageBoxLeaver leaver(EBoxExit::OkButton);
    RunMainWindow([](CPELKARDialog& window, CWxDialogView& view) {
        ClickButton(*view.FindControlWindow(IDC_ADD));
        ASSERT_EQ(1u, ListOf(view).GetCount());
        EXPECT_EQ("Late News", ListOf(view).GetString(0));
        ClickButton(*view.FindControlWindow(IDC_EXIT));
        EXPECT_TRUE(window.HasEnded());
    });
    ASSERT_EQ(leaver.BoxesShown(), 2);
    EXPECT_EQ(wxString("The profile " + profile.Path() +
                       " is in an encoding PELKAR cannot read; the defaults are used and the "
                       "file is left as it is."),
              leaver.Messages().front());
    EXPECT_EQ(
        wxString("The profile " + profile.Path() +
                 " could not be saved: it is in an encoding PELKAR cannot read.\n\nThe changes "
                 "made in this window are lost when it closes. Close it all the same?"),
        leaver.Messages().back());
    EXPECT_EQ(before, ReadWholeFile(profile.Path()));
}

TEST_F(WxMainWindowTest, HomeEndAndPageKeysSelectTheRowAndTheButtonsFollow) {
    Names actions;
    for (int i = 0; i < 20; ++i) actions.push_back("Action " + std::to_string(i));
    StoreActions(actions);
    RunMainWindow([](CPELKARDialog& window, CWxDialogView& view) {
        wxListBox& list = ListOf(view);
        wxWindow& moveUp = *view.FindControlWindow(IDC_MOVE_UP);
        wxWindow& moveDown = *view.FindControlWindow(IDC_MOVE_DOWN);
        const auto expectRow = [&](int row) {
            EXPECT_EQ(row, window.GetCurSel(IDC_ACTION_LIST));
            EXPECT_EQ(row, list.GetSelection());
            EXPECT_EQ(row > 0, moveUp.IsEnabled());
            EXPECT_EQ(row < 19, moveDown.IsEnabled());
        };
        EXPECT_TRUE(PressKey(*view.GetWindow(), WXK_END));
        expectRow(19);
        EXPECT_TRUE(PressKey(*view.GetWindow(), WXK_HOME));
        expectRow(0);
        // A page keeps one row of the old page in view.
        const int page = list.GetCountPerPage();
        ASSERT_GT(page, 1);
        EXPECT_TRUE(PressKey(*view.GetWindow(), WXK_PAGEDOWN));
        expectRow(page - 1);
        EXPECT_TRUE(PressKey(*view.GetWindow(), WXK_PAGEUP));
        expectRow(0);
    });
}

// The window's menu, with the mouse pointer in the screen's far corner, away from the window.
class WxWindowMenuTest : public WxMainWindowTest {
protected:
    void SetUp() override {
        WxMainWindowTest::SetUp();
        const wxSize screen = wxGetDisplaySize();
        wxUIActionSimulator().MouseMove(screen.x - 1, screen.y - 1);
    }
};

struct SMenuKey {
    const char* name;
    int keyCode;
    int modifiers;
};

class WxWindowMenuKeyTest : public WxWindowMenuTest,
                            public ::testing::WithParamInterface<SMenuKey> {};

// The keys are typed on the display, as the user types them. The display sends them to the
// window under the mouse pointer, so the pointer waits in the window's far corner.
TEST_P(WxWindowMenuKeyTest, KeyOpensItAtTheFocusedControl) {
    RunMainWindow([](CPELKARDialog& window, CWxDialogView& view) {
        const CPopupMenuWatcher watcher(*view.GetWindow());
        ASSERT_EQ(IDC_ACTION_LIST, window.GetFocusId());
        wxUIActionSimulator keyboard;
        keyboard.MouseMove(view.GetWindow()->GetScreenRect().GetBottomRight() - wxPoint(2, 2));
        keyboard.Char(GetParam().keyCode, GetParam().modifiers);
        for (int wait = 0; wait < 100 && watcher.ShownAt() == wxDefaultPosition; ++wait) {
            wxMilliSleep(20);
            wxYield();
        }
        EXPECT_EQ(ListOf(view).GetScreenPosition(), watcher.ShownAt());
    });
}

INSTANTIATE_TEST_SUITE_P(Keys, WxWindowMenuKeyTest,
                         ::testing::Values(SMenuKey{"ShiftF10", WXK_F10, wxMOD_SHIFT},
                                           SMenuKey{"MenuKey", WXK_MENU, wxMOD_NONE}),
                         [](const ::testing::TestParamInfo<SMenuKey>& info) {
                             return info.param.name;
                         });

TEST_F(WxWindowMenuTest, RightClickOpensItWhereTheClickWas) {
    RunMainWindow([](CPELKARDialog&, CWxDialogView& view) {
        const CPopupMenuWatcher watcher(*view.GetWindow());
        const wxPoint click = view.GetWindow()->ClientToScreen(wxPoint(5, 5));
        RequestContextMenu(*view.GetWindow(), click);
        EXPECT_EQ(click, watcher.ShownAt());
    });
}

}  // namespace
