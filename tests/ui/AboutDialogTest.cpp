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
        EXPECT_EQ(IDC_VISIT_WEB_SITE, dialog.GetFocusId());
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

TEST_F(AboutDialogTest, EscapeClosesIt) {
    RunAbout([](CDialog& dialog) {
        dialog.UserKeyDown(VK_ESCAPE);
        EXPECT_TRUE(dialog.HasEnded());
    });
}

}  // namespace
