#include <wx/listbox.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "ProfileBuilder.h"
#include "ScratchProfile.h"
#include "WxTestSupport.h"
#include "app/PELKARDialog.h"
#include "res/Resource.h"

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
    bool kept;
};

void PrintTo(const SQuestionCase& row, std::ostream* out) {
    *out << row.name;
}

class WxRemovalQuestionTest : public WxMainWindowTest,
                              public ::testing::WithParamInterface<SQuestionCase> {};

TEST_P(WxRemovalQuestionTest, OnlyYesRemoves) {
    StoreActions({"A", "B", "C"});
    const std::string before = ReadWholeFile(profile.Path());
    RunMainWindow([&](CPELKARDialog&, CWxDialogView& view) {
        PickListItem(ListOf(view), 1);
        const CMessageBoxLeaver leaver(GetParam().exit);
        ClickButton(*view.FindControlWindow(GetParam().button));
        EXPECT_EQ(1, leaver.BoxesShown());
        if (GetParam().kept) {
            EXPECT_EQ(3u, ListOf(view).GetCount());
            EXPECT_EQ(before, ReadWholeFile(profile.Path()));
        } else {
            EXPECT_LT(ListOf(view).GetCount(), 3u);
            EXPECT_NE(before, ReadWholeFile(profile.Path()));
        }
    });
}

INSTANTIATE_TEST_SUITE_P(
    Questions, WxRemovalQuestionTest,
    ::testing::Values(SQuestionCase{"RemoveEsc", IDC_REMOVE, EBoxExit::Escape, true},
                      SQuestionCase{"RemoveCloseBox", IDC_REMOVE, EBoxExit::CloseBox, true},
                      SQuestionCase{"RemoveYes", IDC_REMOVE, EBoxExit::YesButton, false},
                      SQuestionCase{"RemoveAllEsc", IDC_REMOVE_ALL, EBoxExit::Escape, true},
                      SQuestionCase{"RemoveAllCloseBox", IDC_REMOVE_ALL, EBoxExit::CloseBox, true},
                      SQuestionCase{"RemoveAllYes", IDC_REMOVE_ALL, EBoxExit::YesButton, false}),
    [](const ::testing::TestParamInfo<SQuestionCase>& info) { return info.param.name; });

}  // namespace
