#include "UiTestSupport.h"

#include "app/PELKARDialog.h"
#include "model/ProcessArguments.h"
#include "res/Resource.h"

const char* const kTestProgramPath = "/opt/pel kar/pelkar";

UiTest::UiTest() {
    SetProcessArguments({kTestProgramPath});
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
