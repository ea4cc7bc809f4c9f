#include <string>

#include "WxTestSupport.h"
#include "platform/wx/MessageBoxWx.h"

namespace {

struct SBoxCase {
    const char* name;
    unsigned style;
    EBoxExit exit;
    int answer;
};

class WxMessageBoxTest : public WxTest, public ::testing::WithParamInterface<SBoxCase> {};

// Boxes with an icon are drawn by wxWidgets, those without by the desktop; a Yes/No question
// answers No however it is left without its Yes button.
TEST_P(WxMessageBoxTest, RealBoxAnswersAsLeft) {
    CMessageBoxLeaver leaver(GetParam().exit);
    EXPECT_EQ(GetParam().answer, ShowMessageBoxWx(nullptr, "Sure?", "PELKAR", GetParam().style));
    EXPECT_EQ(1, leaver.BoxesShown());
}

constexpr unsigned kQuestion = MB_YESNO | MB_ICONEXCLAMATION;

INSTANTIATE_TEST_SUITE_P(
    Styles, WxMessageBoxTest,
    ::testing::Values(SBoxCase{"QuestionEsc", kQuestion, EBoxExit::Escape, IDNO},
                      SBoxCase{"QuestionCloseBox", kQuestion, EBoxExit::CloseBox, IDNO},
                      SBoxCase{"QuestionYes", kQuestion, EBoxExit::YesButton, IDYES},
                      SBoxCase{"PlainQuestionEsc", MB_YESNO, EBoxExit::Escape, IDNO},
                      SBoxCase{"PlainQuestionYes", MB_YESNO, EBoxExit::YesButton, IDYES},
                      SBoxCase{"NoticeEsc", MB_OK, EBoxExit::Escape, IDOK},
                      SBoxCase{"NoticeCloseBox", MB_OK, EBoxExit::CloseBox, IDOK},
                      SBoxCase{"ErrorEsc", MB_ICONSTOP, EBoxExit::Escape, IDOK}),
    [](const ::testing::TestParamInfo<SBoxCase>& info) { return info.param.name; });

}  // namespace
