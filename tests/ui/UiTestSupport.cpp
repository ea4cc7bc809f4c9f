#include "UiTestSupport.h"

#include "app/IniText.h"
#include "app/PELKARDialog.h"
#include "model/Action.h"
#include "model/ProcessArguments.h"
#include "model/Text.h"
#include "res/Resource.h"

const char* const kTestProgramPath = "/opt/pel kar/pelkar";

UiTest::UiTest() {
    SetProcessArguments({kTestProgramPath});
}

UiTest::~UiTest() = default;

void UiTest::WriteProfile(const ProfileBuilder& profile) const {
    WriteWholeFile(ProfilePath(), profile.Text());
}

std::string UiTest::StoredValue(const std::string& key) const {
    std::string value;
    FindIniValue(ReadWholeFile(ProfilePath()), "PELKAR", key, &value);
    return value;
}

std::vector<std::string> UiTest::StoredActionNames() const {
    std::vector<std::string> names;
    for (int slot = 0; slot < CPELKARDialog::MaxActions; ++slot) {
        const std::string stored = StoredValue(FormatText("action%02d", slot));
        if (stored.empty()) break;
        CAction action;
        action.FromString(stored);
        names.push_back(action.GetName());
    }
    return names;
}

void UiTest::RunMainWindow(CHeadlessHost::Script script) {
    host.OnDialog(IDD_PELKAR_DIALOG, std::move(script));
    CPELKARDialog dialog;
    dialog.DoModal();
}

std::vector<std::string> ListRows(const CDialog& dialog, int listId) {
    std::vector<std::string> rows;
    for (int i = 0; i < dialog.GetCount(listId); ++i) rows.push_back(dialog.GetItemText(listId, i));
    return rows;
}

void EnterCompleteAction(CDialog& editor, const std::string& name) {
    const SFilterRowIds& title = kFilterRowIds[FieldTitle];
    EXPECT_TRUE(editor.UserTypeText(IDC_NAME, name));
    EXPECT_TRUE(editor.UserTypeText(IDC_OUTPUT_DIRECTORY, "/srv/out"));
    EXPECT_TRUE(editor.UserTypeText(IDC_OUTPUT_FILENAME, "%title%"));
    EXPECT_TRUE(editor.UserClick(title.check));
    EXPECT_TRUE(editor.UserTypeText(title.edit, "News*"));
    EXPECT_TRUE(editor.UserClick(IDC_OK_BUTTON));
}
