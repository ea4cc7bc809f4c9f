#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "UiTestSupport.h"
#include "res/ProductInfo.h"
#include "res/Resource.h"
#include "ui/AboutDialog.h"

namespace {

class AboutDialogTest : public UiTest {
protected:
    void RunAbout(CHeadlessHost::Script script) {
        host.OnDialog(IDD_ABOUTBOX, std::move(script));
        CAboutDialog about;
        about.DoModal();
    }
};

TEST_F(AboutDialogTest, ShowsNameVersionAndCopyrightInsteadOfTheTemplateTexts) {
    RunAbout([](CDialog& dialog) {
        EXPECT_EQ("About PELKAR 0.5", dialog.GetWindowText());
        EXPECT_EQ("PELKAR 0.5", dialog.GetDlgItemText(IDC_ABOUT_LINE1));
        EXPECT_EQ(kCopyrightLine, dialog.GetDlgItemText(IDC_ABOUT_LINE2));
        EXPECT_EQ(IDC_CLOSE, dialog.GetFocusId());
    });
}

TEST_F(AboutDialogTest, VisitWebSiteOpensThePageEachTimeAndStaysOpen) {
    RunAbout([](CDialog& dialog) {
        dialog.UserClick(IDC_VISIT_WEB_SITE);
        dialog.UserClick(IDC_VISIT_WEB_SITE);
        EXPECT_FALSE(dialog.HasEnded());
        dialog.UserClick(IDC_CLOSE);
        EXPECT_TRUE(dialog.HasEnded());
    });
    const std::string page = "http://pelkar.example.org/PELKAR/index.php?app=1";
    EXPECT_EQ((std::vector<std::string>{page, page}), host.OpenedAddresses());
}

// Enter presses the default button, where the focus starts; neither key opens the page.
TEST_F(AboutDialogTest, EscapeAndEnterCloseIt) {
    for (unsigned key : {VK_ESCAPE, VK_RETURN}) {
        RunAbout([key](CDialog& dialog) {
            dialog.UserKeyDown(key);
            EXPECT_TRUE(dialog.HasEnded()) << key;
        });
    }
    EXPECT_TRUE(host.OpenedAddresses().empty());
}

}  // namespace
