#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "UiTestSupport.h"
#include "model/Action.h"
#include "res/Resource.h"
#include "ui/ActionDialog.h"

namespace {

const SFilterRowIds& Row(EDVAField field) {
    return kFilterRowIds[field];
}

class ActionDialogTest : public UiTest {
protected:
    // Runs the editor on the action (none: as for Add) with the script playing the user.
    int RunEditor(CHeadlessHost::Script script, const CAction* action = nullptr) {
        editor.SetCaption("Add Action");
        if (action) editor.SetAction(*action);
        host.OnDialog(IDD_ACTION, std::move(script));
        return editor.DoModal();
    }
    // Name, directory and filename filled in, no filter entry on yet.
    static void TypeTexts(CDialog& dialog) {
        dialog.UserTypeText(IDC_NAME, "News");
        dialog.UserTypeText(IDC_OUTPUT_DIRECTORY, "/srv/out");
        dialog.UserTypeText(IDC_OUTPUT_FILENAME, "news");
    }

    CActionDialog editor;
};

TEST_F(ActionDialogTest, AddStartsEmptyWithFilterEditsAndOkDisabled) {
    RunEditor([](CDialog& dialog) {
        EXPECT_EQ("Add Action", dialog.GetWindowText());
        EXPECT_EQ(IDC_NAME, dialog.GetFocusId());
        EXPECT_EQ("DVA Flags...", dialog.GetDlgItemText(IDC_PLACEHOLDERS));
        EXPECT_FALSE(dialog.IsDlgItemEnabled(IDC_OK_BUTTON));
        for (const SFilterRowIds& row : kFilterRowIds) {
            EXPECT_EQ(0, dialog.IsDlgButtonChecked(row.check));
            EXPECT_FALSE(dialog.IsDlgItemEnabled(row.edit)) << row.edit;
            EXPECT_EQ("", dialog.GetDlgItemText(row.edit));
        }
    });
}

TEST_F(ActionDialogTest, OkFollowsCompletenessOfTextsAndFilter) {
    const int result = RunEditor([](CDialog& dialog) {
        TypeTexts(dialog);
        EXPECT_FALSE(dialog.IsDlgItemEnabled(IDC_OK_BUTTON));
        dialog.UserClick(Row(FieldEpisode).check);
        EXPECT_TRUE(dialog.IsDlgItemEnabled(Row(FieldEpisode).edit));
        EXPECT_FALSE(dialog.IsDlgItemEnabled(IDC_OK_BUTTON));
        dialog.UserTypeText(Row(FieldEpisode).edit, "4");
        EXPECT_TRUE(dialog.IsDlgItemEnabled(IDC_OK_BUTTON));
        dialog.UserTypeText(Row(FieldEpisode).edit, "");
        EXPECT_FALSE(dialog.IsDlgItemEnabled(IDC_OK_BUTTON));
        dialog.UserTypeText(Row(FieldEpisode).edit, "4");
        dialog.UserTypeText(IDC_NAME, "   ");
        EXPECT_FALSE(dialog.IsDlgItemEnabled(IDC_OK_BUTTON));
        EXPECT_FALSE(dialog.UserClick(IDC_OK_BUTTON));
        dialog.UserTypeText(IDC_NAME, " Episode four ");
        EXPECT_TRUE(dialog.UserClick(IDC_OK_BUTTON));
    });
    EXPECT_EQ(IDOK, result);
    const CAction action = editor.GetAction();
    EXPECT_EQ("Episode four", action.GetName());
    EXPECT_EQ(1, action.GetFilter().GetEpisodeFlag());
    EXPECT_EQ("4", action.GetFilter().GetEpisode());
}

// Each row's check box and edit reach that row's field, and no other.
TEST_F(ActionDialogTest, EveryFilterRowEditsItsOwnField) {
    for (int i = 0; i < DVAFieldCount; ++i) {
        const EDVAField field = static_cast<EDVAField>(i);
        CActionDialog rowEditor;
        host.OnDialog(IDD_ACTION, [field](CDialog& dialog) {
            TypeTexts(dialog);
            dialog.UserClick(Row(field).check);
            for (int j = 0; j < DVAFieldCount; ++j) {
                EXPECT_EQ(j == field, dialog.IsDlgItemEnabled(kFilterRowIds[j].edit)) << j;
            }
            dialog.UserTypeText(Row(field).edit, "x?");
            dialog.UserClick(IDC_OK_BUTTON);
        });
        ASSERT_EQ(IDOK, rowEditor.DoModal()) << DVAFieldName(field);
        CDVAFlags expected;
        expected.SetFlag(field, 1);
        expected.SetText(field, "x?");
        EXPECT_EQ(expected.ToString(), rowEditor.GetAction().GetFilter().ToString());
    }
}

TEST_F(ActionDialogTest, DCatPatternIsKeptAsTypedWhileOthersAreTrimmed) {
    RunEditor([](CDialog& dialog) {
        TypeTexts(dialog);
        dialog.UserClick(Row(FieldDCat).check);
        dialog.UserTypeText(Row(FieldDCat).edit, " Sport ");
        dialog.UserClick(Row(FieldTitle).check);
        dialog.UserTypeText(Row(FieldTitle).edit, " News ");
        EXPECT_EQ(" News ", dialog.GetDlgItemText(Row(FieldTitle).edit));
        dialog.UserClick(IDC_OK_BUTTON);
    });
    const CAction action = editor.GetAction();
    const CDVAFlags& filter = action.GetFilter();
    EXPECT_EQ(" Sport ", filter.GetText(FieldDCat));
    EXPECT_EQ("News", filter.GetTitle());
}

// A text that would not load back from the stored text as typed (a bar that would split it, a
// pattern that reads as the marker of an empty one), typed into one field of an otherwise
// complete action whose filter tests the title.
struct SRefusedCase {
    const char* name;
    int edit;
    int check;  // the row's check box to tick first, 0 for none
    std::string text;
    std::string message;
};

std::string BarMessage(const std::string& label) {
    return "The " + label + " field cannot contain \"|\".";
}

std::string EmptiedMessage(const std::string& label, const std::string& held) {
    return "The " + label + " field would be read back from the profile as \"\" instead of \"" +
           held + "\".";
}

// Names the row in test listings.
void PrintTo(const SRefusedCase& row, std::ostream* out) {
    *out << row.name;
}

class RefusedFieldTest : public ActionDialogTest,
                         public ::testing::WithParamInterface<SRefusedCase> {};

TEST_P(RefusedFieldTest, OkIsRefusedNamingTheFieldAndTheTextStays) {
    const SRefusedCase& row = GetParam();
    const int result = RunEditor([this, &row](CDialog& dialog) {
        TypeTexts(dialog);
        dialog.UserClick(Row(FieldTitle).check);
        dialog.UserTypeText(Row(FieldTitle).edit, "News*");
        if (row.check != 0) dialog.UserClick(row.check);
        dialog.UserTypeText(row.edit, row.text);
        ASSERT_TRUE(dialog.UserClick(IDC_OK_BUTTON));
        EXPECT_FALSE(dialog.HasEnded());
        ASSERT_EQ(1u, host.MessageBoxes().size());
        const SShownMessageBox& box = host.MessageBoxes()[0];
        EXPECT_EQ(row.message, box.text);
        EXPECT_EQ("PELKAR", box.caption);
        EXPECT_EQ(unsigned(MB_OK | MB_ICONEXCLAMATION), box.style);
        EXPECT_EQ(row.text, dialog.GetDlgItemText(row.edit));
        EXPECT_EQ(row.edit, dialog.GetFocusId());
        // Enter presses OK, which is refused the same way.
        dialog.UserKeyDown(VK_RETURN);
        EXPECT_FALSE(dialog.HasEnded());
        EXPECT_EQ(2u, host.MessageBoxes().size());
    });
    EXPECT_EQ(IDCANCEL, result);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, RefusedFieldTest,
    ::testing::Values(
        SRefusedCase{"Name", IDC_NAME, 0, "Rock || Roll", BarMessage("Name")},
        SRefusedCase{"OutputDirectory", IDC_OUTPUT_DIRECTORY, 0, "/srv||out",
                     BarMessage("Output directory")},
        SRefusedCase{"OutputFilename", IDC_OUTPUT_FILENAME, 0, "%title%|",
                     BarMessage("Output filename")},
        SRefusedCase{"TitlePattern", Row(FieldTitle).edit, 0, "News||*", BarMessage("%title%")},
        SRefusedCase{"MpegPattern", Row(FieldMpeg).edit, Row(FieldMpeg).check, "*.mpg|",
                     BarMessage("%mpeg%")},
        SRefusedCase{"DCatPattern", Row(FieldDCat).edit, Row(FieldDCat).check, "Film| ",
                     BarMessage("%dcat%")},
        SRefusedCase{"RChanPattern", Row(FieldRChan).edit, Row(FieldRChan).check, "|| 7",
                     BarMessage("%rchan%")},
        SRefusedCase{"TitlePatternNullMarker", Row(FieldTitle).edit, 0, "<NULL>",
                     EmptiedMessage("%title%", "<NULL>")},
        SRefusedCase{"EpisodePatternPaddedNullMarker", Row(FieldEpisode).edit,
                     Row(FieldEpisode).check, " <NULL>", EmptiedMessage("%episode%", "<NULL>")},
        SRefusedCase{"DCatPatternPaddedNullMarker", Row(FieldDCat).edit, Row(FieldDCat).check,
                     " <NULL> ", EmptiedMessage("%dcat%", "<NULL>")}),
    [](const ::testing::TestParamInfo<SRefusedCase>& info) { return info.param.name; });

// Whether a profile's load keeps the action's stored text as the same action; the stored text
// cannot tell an empty pattern from "<NULL>", so the pattern is compared as well.
bool LoadsBackAsTheSameCompleteAction(const CAction& action) {
    CAction loaded;
    loaded.FromString(action.ToString());
    return loaded.IsValid() && loaded.ToString() == action.ToString() &&
           loaded.GetFilter().GetTitle() == action.GetFilter().GetTitle();
}

// The marker of an empty pattern would make the load drop the action as incomplete; once a
// real pattern replaces it, the action OK gives loads back as itself.
TEST_F(ActionDialogTest, OkTakesOnlyAnActionThatTheProfileLoadsBackComplete) {
    const int result = RunEditor([this](CDialog& dialog) {
        TypeTexts(dialog);
        dialog.UserClick(Row(FieldTitle).check);
        dialog.UserTypeText(Row(FieldTitle).edit, "<NULL>");
        EXPECT_FALSE(LoadsBackAsTheSameCompleteAction(editor.GetAction()));
        dialog.UserClick(IDC_OK_BUTTON);
        EXPECT_FALSE(dialog.HasEnded());
        dialog.UserTypeText(Row(FieldTitle).edit, "<NULL>*");
        dialog.UserClick(IDC_OK_BUTTON);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(1u, host.MessageBoxes().size());
    EXPECT_TRUE(LoadsBackAsTheSameCompleteAction(editor.GetAction()));
}

TEST_F(ActionDialogTest, BarInAnUntickedRowIsRefusedWithoutFocusingItsDisabledEdit) {
    const int result = RunEditor([](CDialog& dialog) {
        TypeTexts(dialog);
        dialog.UserClick(Row(FieldTitle).check);
        dialog.UserTypeText(Row(FieldTitle).edit, "News*");
        dialog.UserClick(Row(FieldEpisode).check);
        dialog.UserTypeText(Row(FieldEpisode).edit, "4||5");
        dialog.UserClick(Row(FieldEpisode).check);
        dialog.UserClick(IDC_OK_BUTTON);
        EXPECT_FALSE(dialog.HasEnded());
        EXPECT_EQ(IDC_OK_BUTTON, dialog.GetFocusId());
    });
    EXPECT_EQ(IDCANCEL, result);
    ASSERT_EQ(1u, host.MessageBoxes().size());
    EXPECT_EQ("The %episode% field cannot contain \"|\".", host.MessageBoxes()[0].text);
}

TEST_F(ActionDialogTest, AudioOnlyDisablesTwoPassWithoutClearingIt) {
    RunEditor([](CDialog& dialog) {
        dialog.UserClick(IDC_TWO_PASS);
        dialog.UserClick(IDC_AUDIO_ONLY);
        EXPECT_FALSE(dialog.IsDlgItemEnabled(IDC_TWO_PASS));
        EXPECT_EQ(1, dialog.IsDlgButtonChecked(IDC_TWO_PASS));
        dialog.UserClick(IDC_AUDIO_ONLY);
        EXPECT_TRUE(dialog.IsDlgItemEnabled(IDC_TWO_PASS));
    });
}

TEST_F(ActionDialogTest, RemoveSourceShowsTheStoredOptionAndCannotBeToggled) {
    CAction action = MakeTitleAction("News", "/srv/out", "News*");
    action.SetRemoveSource(1);
    RunEditor(
        [](CDialog& dialog) {
            EXPECT_EQ(1, dialog.IsDlgButtonChecked(IDC_REMOVE_SOURCE));
            EXPECT_FALSE(dialog.UserClick(IDC_REMOVE_SOURCE));
            dialog.UserClick(IDC_OK_BUTTON);
        },
        &action);
    EXPECT_EQ(1, editor.GetAction().GetRemoveSource());
}

TEST_F(ActionDialogTest, PickedPlaceholderIsAppendedAtTheEndAndTheBoxResets) {
    RunEditor([](CDialog& dialog) {
        dialog.UserTypeText(IDC_OUTPUT_FILENAME, "show-");
        dialog.UserOpenComboList(IDC_PLACEHOLDERS);
        dialog.UserSelectItem(IDC_PLACEHOLDERS, 1);
        EXPECT_EQ("show-%title%", dialog.GetDlgItemText(IDC_OUTPUT_FILENAME));
        EXPECT_EQ("DVA Flags...", dialog.GetDlgItemText(IDC_PLACEHOLDERS));
        int start = 0, end = 0;
        dialog.GetEditSel(IDC_OUTPUT_FILENAME, &start, &end);
        EXPECT_EQ(12, start);
        EXPECT_EQ(12, end);
        dialog.UserSelectItem(IDC_PLACEHOLDERS, 0);
        EXPECT_EQ("show-%title%", dialog.GetDlgItemText(IDC_OUTPUT_FILENAME));
        dialog.UserClose();
    });
}

TEST_F(ActionDialogTest, DownThenTabInsertsTheShownPlaceholderOnce) {
    RunEditor([](CDialog& dialog) {
        dialog.UserSetFocus(IDC_PLACEHOLDERS);
        dialog.UserKeyDown(VK_DOWN);
        EXPECT_EQ("%title%", dialog.GetDlgItemText(IDC_PLACEHOLDERS));
        EXPECT_EQ("", dialog.GetDlgItemText(IDC_OUTPUT_FILENAME));
        dialog.UserKeyDown(VK_DOWN);
        EXPECT_EQ("%episode%", dialog.GetDlgItemText(IDC_PLACEHOLDERS));
        dialog.UserKeyDown(VK_TAB);
        EXPECT_EQ("%episode%", dialog.GetDlgItemText(IDC_OUTPUT_FILENAME));
        EXPECT_EQ("DVA Flags...", dialog.GetDlgItemText(IDC_PLACEHOLDERS));
        EXPECT_EQ(IDC_AUDIO_ONLY, dialog.GetFocusId());
    });
    EXPECT_EQ("%episode%", editor.GetAction().GetOutputFilename());
}

TEST_F(ActionDialogTest, DownThenClickElsewhereInsertsThroughFocusLoss) {
    RunEditor([](CDialog& dialog) {
        dialog.UserSetFocus(IDC_PLACEHOLDERS);
        dialog.UserKeyDown(VK_DOWN);
        dialog.UserSetFocus(IDC_NAME);
        EXPECT_EQ("%title%", dialog.GetDlgItemText(IDC_OUTPUT_FILENAME));
        EXPECT_EQ("DVA Flags...", dialog.GetDlgItemText(IDC_PLACEHOLDERS));
    });
}

// Up on the heading changes no selection, so the flag it sets swallows the next insertion.
TEST_F(ActionDialogTest, ArrowKeyWithoutSelectionChangeSkipsTheNextInsertion) {
    RunEditor([](CDialog& dialog) {
        dialog.UserSetFocus(IDC_PLACEHOLDERS);
        dialog.UserKeyDown(VK_UP);
        dialog.UserSelectItem(IDC_PLACEHOLDERS, 2);
        EXPECT_EQ("", dialog.GetDlgItemText(IDC_OUTPUT_FILENAME));
        EXPECT_EQ("%episode%", dialog.GetDlgItemText(IDC_PLACEHOLDERS));
        dialog.UserSelectItem(IDC_PLACEHOLDERS, 3);
        EXPECT_EQ("%showid%", dialog.GetDlgItemText(IDC_OUTPUT_FILENAME));
    });
}

TEST_F(ActionDialogTest, EscapeResetsThePlaceholderBoxAndNeverClosesTheEditor) {
    const int result = RunEditor([](CDialog& dialog) {
        dialog.UserSetFocus(IDC_PLACEHOLDERS);
        dialog.UserKeyDown(VK_DOWN);
        dialog.UserKeyDown(VK_ESCAPE);
        EXPECT_EQ("DVA Flags...", dialog.GetDlgItemText(IDC_PLACEHOLDERS));
        EXPECT_EQ("", dialog.GetDlgItemText(IDC_OUTPUT_FILENAME));
        dialog.UserSetFocus(IDC_NAME);
        dialog.UserKeyDown(VK_ESCAPE);
        EXPECT_FALSE(dialog.HasEnded());
        EXPECT_EQ("", dialog.GetDlgItemText(IDC_OUTPUT_FILENAME));
        dialog.UserClick(IDC_CANCEL_BUTTON);
    });
    EXPECT_EQ(IDCANCEL, result);
}

TEST_F(ActionDialogTest, EnterInTheClosedBoxInsertsThenConfirmsACompleteAction) {
    const int result = RunEditor([](CDialog& dialog) {
        TypeTexts(dialog);
        dialog.UserClick(Row(FieldTitle).check);
        dialog.UserTypeText(Row(FieldTitle).edit, "News");
        dialog.UserSetFocus(IDC_PLACEHOLDERS);
        dialog.UserKeyDown(VK_DOWN);
        dialog.UserKeyDown(VK_RETURN);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ("news%title%", editor.GetAction().GetOutputFilename());
}

TEST_F(ActionDialogTest, EnterWithAnIncompleteActionKeepsTheEditorOpen) {
    RunEditor([](CDialog& dialog) {
        dialog.UserTypeText(IDC_NAME, "News");
        dialog.UserKeyDown(VK_RETURN);
        EXPECT_FALSE(dialog.HasEnded());
    });
}

TEST_F(ActionDialogTest, BrowseOpensOnTheOutputDirectoryAndReplacesIt) {
    CAction action = MakeTitleAction("News", "/srv/old", "News*");
    host.CancelFolderChooser();
    host.AnswerFolderChooser("/srv/new");
    RunEditor(
        [](CDialog& dialog) {
            dialog.UserClick(IDC_BROWSE_OUTPUT_DIRECTORY);
            EXPECT_EQ("/srv/old", dialog.GetDlgItemText(IDC_OUTPUT_DIRECTORY));
            dialog.UserClick(IDC_BROWSE_OUTPUT_DIRECTORY);
            EXPECT_EQ("/srv/new", dialog.GetDlgItemText(IDC_OUTPUT_DIRECTORY));
            int start = 0, end = 0;
            dialog.GetEditSel(IDC_OUTPUT_DIRECTORY, &start, &end);
            EXPECT_EQ(8, start);
            EXPECT_EQ(8, end);
            dialog.UserClick(IDC_OK_BUTTON);
        },
        &action);
    ASSERT_EQ(2u, host.FolderRequests().size());
    EXPECT_EQ("Select Destination Directory", host.FolderRequests()[0].title);
    EXPECT_EQ("/srv/old", host.FolderRequests()[0].initialFolder);
    EXPECT_EQ("/srv/new", editor.GetAction().GetOutputDirectory());
}

TEST_F(ActionDialogTest, BrowsedDirectoryCanCompleteTheAction) {
    host.AnswerFolderChooser("/srv/out");
    RunEditor([](CDialog& dialog) {
        dialog.UserTypeText(IDC_NAME, "News");
        dialog.UserTypeText(IDC_OUTPUT_FILENAME, "news");
        dialog.UserClick(Row(FieldTitle).check);
        dialog.UserTypeText(Row(FieldTitle).edit, "News");
        EXPECT_FALSE(dialog.IsDlgItemEnabled(IDC_OK_BUTTON));
        dialog.UserClick(IDC_BROWSE_OUTPUT_DIRECTORY);
        EXPECT_TRUE(dialog.IsDlgItemEnabled(IDC_OK_BUTTON));
    });
}

TEST_F(ActionDialogTest, OkRightAwayReturnsTheStoredTextItWasOpenedOn) {
    CAction action = MakeTitleAction("News", "/srv/out", "News*", false);
    action.SetTwoPass(1);
    action.SetStripCommercials(1);
    action.GetFilter().SetDChanFlag(1);
    action.GetFilter().SetDChan("BBC ?");
    const int result = RunEditor([](CDialog& dialog) { dialog.UserClick(IDC_OK_BUTTON); }, &action);
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(action.ToString(), editor.GetAction().ToString());
}

}  // namespace
