#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include <functional>
#include <memory>
#include <vector>

#include "WxTestSupport.h"
#include "res/Resource.h"
#include "ui/AboutDialog.h"
#include "ui/ActionDialog.h"
#include "ui/SettingsDialog.h"

namespace {

struct SDialogCase {
    const char* name;
    std::function<std::unique_ptr<CDialog>()> make;
};

std::vector<SDialogCase> AllDialogs() {
    return {
        {"MainWindow", [] { return std::make_unique<CDialog>(IDD_PELKAR_DIALOG); }},
        {"AboutBox", [] { return std::make_unique<CAboutDialog>(); }},
        {"Settings", [] { return std::make_unique<CSettingsDialog>(); }},
        {"ActionEditor", [] { return std::make_unique<CActionDialog>(); }},
    };
}

// Frames are drawn around other controls; every other control has its own place.
bool IsFrame(const wxWindow* window) {
    return dynamic_cast<const wxStaticBox*>(window) != nullptr;
}

// Runs the dialog in a window and hands its controls to the check.
void CheckControls(const SDialogCase& dialogCase,
                   const std::function<void(const wxDialog&, const wxWindowList&)>& check) {
    const std::unique_ptr<CDialog> dialog = dialogCase.make();
    RunInWindow(*dialog, [&check](CWxDialogView& view) {
        check(*view.GetWindow(), view.GetWindow()->GetChildren());
    });
}

}  // namespace

class WxLayoutTest : public WxTest, public ::testing::WithParamInterface<SDialogCase> {};

TEST_P(WxLayoutTest, EveryControlLiesInsideTheWindow) {
    CheckControls(GetParam(), [](const wxDialog& window, const wxWindowList& controls) {
        const wxRect client(window.GetClientSize());
        ASSERT_FALSE(controls.empty());
        for (const wxWindow* control : controls) {
            EXPECT_TRUE(client.Contains(control->GetRect()))
                << control->GetLabel() << " leaves the window";
        }
    });
}

TEST_P(WxLayoutTest, NoTwoControlsOverlap) {
    CheckControls(GetParam(), [](const wxDialog&, const wxWindowList& controls) {
        for (auto first = controls.begin(); first != controls.end(); ++first) {
            if (IsFrame(*first)) continue;
            for (auto second = std::next(first); second != controls.end(); ++second) {
                if (IsFrame(*second)) continue;
                EXPECT_FALSE((*first)->GetRect().Intersects((*second)->GetRect()))
                    << "\"" << (*first)->GetLabel() << "\" overlaps \"" << (*second)->GetLabel()
                    << "\"";
            }
        }
    });
}

TEST_P(WxLayoutTest, EveryTextFitsItsControl) {
    CheckControls(GetParam(), [](const wxDialog&, const wxWindowList& controls) {
        for (const wxWindow* control : controls) {
            int needed = 0;
            if (dynamic_cast<const wxStaticText*>(control)) {
                needed = control->GetTextExtent(control->GetLabel()).x;
            } else if (dynamic_cast<const wxButton*>(control) ||
                       dynamic_cast<const wxCheckBox*>(control)) {
                needed = control->GetBestSize().x;
            }
            EXPECT_LE(needed, control->GetSize().x) << "\"" << control->GetLabel() << "\"";
        }
    });
}

TEST_P(WxLayoutTest, WindowKeepsTheTemplatesProportions) {
    const std::unique_ptr<CDialog> dialog = GetParam().make();
    RunInWindow(*dialog, [&dialog](CWxDialogView& view) {
        const SDialogTemplate& dialogTemplate = *dialog->GetTemplate();
        const wxSize client = view.GetWindow()->GetClientSize();
        // The width may grow for the desktop's font, the height follows the font alone.
        const double templateRatio = double(dialogTemplate.width) / dialogTemplate.height;
        const double shownRatio = double(client.x) / client.y;
        EXPECT_GE(shownRatio, templateRatio * 0.9);
        EXPECT_LE(shownRatio, templateRatio * 1.6);
    });
}

INSTANTIATE_TEST_SUITE_P(Templates, WxLayoutTest, ::testing::ValuesIn(AllDialogs()),
                         [](const ::testing::TestParamInfo<SDialogCase>& info) {
                             return std::string(info.param.name);
                         });
