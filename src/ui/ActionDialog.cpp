#include "ui/ActionDialog.h"

#include "model/DVAFlags.h"
#include "model/StoredTextCheck.h"

namespace {

// The field a filter row's check box or edit belongs to; DVAFieldCount for other controls.
EDVAField FilterFieldOf(int controlId, int SFilterRowIds::*part) {
    for (int i = 0; i < DVAFieldCount; ++i) {
        if (kFilterRowIds[i].*part == controlId) return static_cast<EDVAField>(i);
    }
    return DVAFieldCount;
}

// The pattern as its getter gives it: dcat is held as typed and trimmed on the way out.
std::string FilterText(const CDVAFlags& filter, EDVAField field) {
    return field == FieldDCat ? filter.GetDCat() : filter.GetText(field);
}

void SetFilterText(CDVAFlags& filter, EDVAField field, const std::string& text) {
    if (field == FieldDCat) {
        filter.SetDCat(text);
    } else {
        filter.SetText(field, text);
    }
}

// The head texts' edits, with their labels as the editor shows them.
struct SHeadEdit {
    int id;
    EActionHeadText text;
    std::string (CAction::*get)() const;
    const char* label;
};

const SHeadEdit kHeadEdits[] = {
    {IDC_NAME, EActionHeadText::Name, &CAction::GetName, "Name"},
    {IDC_OUTPUT_DIRECTORY, EActionHeadText::OutputDirectory, &CAction::GetOutputDirectory,
     "Output directory"},
    {IDC_OUTPUT_FILENAME, EActionHeadText::OutputFilename, &CAction::GetOutputFilename,
     "Output filename"},
};

// An edit's text as the editor holds it and as the stored text gives it back.
struct SEditedText {
    int id;
    std::string label;
    std::string held;
    std::string loaded;
};

std::vector<CDialog::SMessageEntry> BuildMessageTable(
    CDialog::Handler onCheckClicked, CDialog::Handler onEditChange, CDialog::Handler onBrowse,
    CDialog::Handler onSelectPlaceholder, CDialog::Handler onOK, CDialog::Handler onCancel) {
    std::vector<CDialog::SMessageEntry> table;
    for (int id : {IDC_AUDIO_ONLY, IDC_STRIP_COMMERCIALS, IDC_TWO_PASS, IDC_REMOVE_SOURCE}) {
        table.push_back({id, BN_CLICKED, onCheckClicked});
    }
    for (int id : {IDC_NAME, IDC_OUTPUT_DIRECTORY, IDC_OUTPUT_FILENAME}) {
        table.push_back({id, EN_CHANGE, onEditChange});
    }
    for (const SFilterRowIds& row : kFilterRowIds) {
        table.push_back({row.check, BN_CLICKED, onCheckClicked});
        table.push_back({row.edit, EN_CHANGE, onEditChange});
    }
    table.push_back({IDC_BROWSE_OUTPUT_DIRECTORY, BN_CLICKED, onBrowse});
    table.push_back({IDC_PLACEHOLDERS, CBN_SELCHANGE, onSelectPlaceholder});
    table.push_back({IDC_PLACEHOLDERS, CBN_KILLFOCUS, onSelectPlaceholder});
    table.push_back({IDC_OK_BUTTON, BN_CLICKED, onOK});
    table.push_back({IDC_CANCEL_BUTTON, BN_CLICKED, onCancel});
    return table;
}

}  // namespace

CActionDialog::CActionDialog(CDialog* parent) : CDialog(IDD, parent) {}

CActionDialog::~CActionDialog() = default;

const std::vector<CDialog::SMessageEntry>& CActionDialog::GetMessageTable() const {
    static const std::vector<SMessageEntry> table =
        BuildMessageTable(Bind(&CActionDialog::OnCheckClicked), Bind(&CActionDialog::OnEditChange),
                          Bind(&CActionDialog::OnBrowse), Bind(&CActionDialog::OnSelectPlaceholder),
                          Bind(&CDialog::OnOK), Bind(&CDialog::OnCancel));
    return table;
}

void CActionDialog::SetCaption(const std::string& caption) {
    m_caption = caption;
}

void CActionDialog::SetAction(const CAction& action) {
    m_action.FromString(action.ToString());
}

CAction CActionDialog::GetAction() const {
    return m_action;
}

bool CActionDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    FillControls();
    SetCurSel(IDC_PLACEHOLDERS, 0);
    SetWindowText(m_caption);
    UpdateControls();
    bArrowKey = false;
    return true;
}

// The edits report each change while the focus is outside them, so nothing is read back.
void CActionDialog::FillControls() {
    SetDlgItemText(IDC_NAME, m_action.GetName());
    SetDlgItemText(IDC_OUTPUT_DIRECTORY, m_action.GetOutputDirectory());
    SetDlgItemText(IDC_OUTPUT_FILENAME, m_action.GetOutputFilename());
    CheckDlgButton(IDC_AUDIO_ONLY, m_action.GetAudioOnly() ? 1 : 0);
    CheckDlgButton(IDC_STRIP_COMMERCIALS, m_action.GetStripCommercials() ? 1 : 0);
    CheckDlgButton(IDC_TWO_PASS, m_action.GetTwoPass() ? 1 : 0);
    CheckDlgButton(IDC_REMOVE_SOURCE, m_action.GetRemoveSource() ? 1 : 0);
    const CDVAFlags& filter = m_action.GetFilter();
    for (int i = 0; i < DVAFieldCount; ++i) {
        const EDVAField field = static_cast<EDVAField>(i);
        CheckDlgButton(kFilterRowIds[i].check, filter.GetFlag(field) ? 1 : 0);
        SetDlgItemText(kFilterRowIds[i].edit, FilterText(filter, field));
    }
}

// The stored text has no escape for "|", "<NULL>" is how it writes an empty pattern, and
// existing profiles keep their form: an action that would not load back from its stored text
// as itself is refused, and the editor stays open with the text as typed.
void CActionDialog::OnOK() {
    std::string message;
    const int id = EditRefusedByTheStore(&message);
    if (id == 0) {
        CDialog::OnOK();
        return;
    }
    MessageBox(message, "PELKAR", MB_OK | MB_ICONEXCLAMATION);
    GotoDlgCtrl(id);
}

// The first edit whose text the store cannot keep, with the reason; 0 for none.
int CActionDialog::EditRefusedByTheStore(std::string* message) const {
    std::string label;
    const int id = EditBreakingStoredText(&label);
    if (id != 0) {
        *message = "The " + label + " field cannot contain \"|\".";
        return id;
    }
    return EditLoadedOtherwise(message);
}

// The first edit, head texts first and then the filter in entry order, whose text would come
// back changed from the stored text; 0 for none.
int CActionDialog::EditBreakingStoredText(std::string* label) const {
    for (const SHeadEdit& edit : kHeadEdits) {
        if (!SurvivesStoredText(edit.text, (m_action.*edit.get)())) {
            *label = edit.label;
            return edit.id;
        }
    }
    const CDVAFlags& filter = m_action.GetFilter();
    for (int i = 0; i < DVAFieldCount; ++i) {
        const EDVAField field = static_cast<EDVAField>(i);
        if (!PatternSurvivesStoredText(field, filter.GetText(field))) {
            *label = DVAFieldPlaceholder(field);
            return kFilterRowIds[i].edit;
        }
    }
    return 0;
}

// The whole action read back as a profile's load reads it: the first edit whose text comes back
// otherwise, with what it would become; 0 for none. The flags are numbers, which always come
// back, so with every text the same the action is as complete as the one being edited.
int CActionDialog::EditLoadedOtherwise(std::string* message) const {
    CAction loaded;
    loaded.FromString(m_action.ToString());
    std::vector<SEditedText> texts;
    for (const SHeadEdit& edit : kHeadEdits) {
        texts.push_back({edit.id, edit.label, (m_action.*edit.get)(), (loaded.*edit.get)()});
    }
    for (int i = 0; i < DVAFieldCount; ++i) {
        const EDVAField field = static_cast<EDVAField>(i);
        texts.push_back({kFilterRowIds[i].edit, DVAFieldPlaceholder(field),
                         FilterText(m_action.GetFilter(), field),
                         FilterText(loaded.GetFilter(), field)});
    }
    for (const SEditedText& text : texts) {
        if (text.held == text.loaded) continue;
        *message = "The " + text.label + " field would be read back from the profile as \"" +
                   text.loaded + "\" instead of \"" + text.held + "\".";
        return text.id;
    }
    return 0;
}

void CActionDialog::UpdateControls() {
    EnableDlgItem(IDC_TWO_PASS, m_action.GetAudioOnly() == 0);
    const CDVAFlags& filter = m_action.GetFilter();
    for (int i = 0; i < DVAFieldCount; ++i) {
        EnableDlgItem(kFilterRowIds[i].edit, filter.GetFlag(static_cast<EDVAField>(i)) != 0);
    }
    EnableDlgItem(IDC_OK_BUTTON, m_action.IsValid());
}

// A clicked check box has the focus, so the focused box is the one just toggled.
void CActionDialog::OnCheckClicked() {
    const int id = GetFocusId();
    const int checked = IsDlgButtonChecked(id);
    switch (id) {
        case IDC_AUDIO_ONLY:
            m_action.SetAudioOnly(checked);
            break;
        case IDC_STRIP_COMMERCIALS:
            m_action.SetStripCommercials(checked);
            break;
        case IDC_TWO_PASS:
            m_action.SetTwoPass(checked);
            break;
        case IDC_REMOVE_SOURCE:
            m_action.SetRemoveSource(checked);
            break;
        default: {
            const EDVAField field = FilterFieldOf(id, &SFilterRowIds::check);
            if (field != DVAFieldCount) m_action.GetFilter().SetFlag(field, checked);
        }
    }
    UpdateControls();
}

// Only the focused edit is read: a change the dialog makes itself happens elsewhere.
void CActionDialog::OnEditChange() {
    const int id = GetFocusId();
    const std::string text = GetDlgItemText(id);
    switch (id) {
        case IDC_NAME:
            m_action.SetName(text);
            break;
        case IDC_OUTPUT_DIRECTORY:
            m_action.SetOutputDirectory(text);
            break;
        case IDC_OUTPUT_FILENAME:
            m_action.SetOutputFilename(text);
            break;
        default: {
            const EDVAField field = FilterFieldOf(id, &SFilterRowIds::edit);
            if (field != DVAFieldCount) SetFilterText(m_action.GetFilter(), field, text);
        }
    }
    UpdateControls();
}

void CActionDialog::OnBrowse() {
    const SFolderChooserRequest request = {"Select Destination Directory",
                                           m_action.GetOutputDirectory()};
    std::string path;
    if (!ChooseFolder(request, &path)) return;
    SetDlgItemText(IDC_OUTPUT_DIRECTORY, path);
    m_action.SetOutputDirectory(path);
    SetEditSel(IDC_OUTPUT_DIRECTORY, static_cast<int>(path.size()), -1);
    ScrollCaret(IDC_OUTPUT_DIRECTORY);
    UpdateControls();
}

// Appends the chosen placeholder to the output filename, wherever the caret stands.
void CActionDialog::OnSelectPlaceholder() {
    if (bArrowKey) {
        bArrowKey = false;
        return;
    }
    const int index = GetCurSel(IDC_PLACEHOLDERS);
    if (index < 1) return;
    const std::string text =
        GetDlgItemText(IDC_OUTPUT_FILENAME) + GetItemText(IDC_PLACEHOLDERS, index);
    m_action.SetOutputFilename(text);
    SetDlgItemText(IDC_OUTPUT_FILENAME, text);
    SetEditSel(IDC_OUTPUT_FILENAME, static_cast<int>(text.size()), -1);
    ScrollCaret(IDC_OUTPUT_FILENAME);
    SetCurSel(IDC_PLACEHOLDERS, 0);
    UpdateControls();
}

// Browsing the placeholder list with the arrows inserts nothing; any other key in it first
// inserts the placeholder shown. Esc never cancels the editor.
bool CActionDialog::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message == WM_KEYDOWN) {
        if (GetFocusId() == IDC_PLACEHOLDERS) {
            switch (pMsg->wParam) {
                case VK_UP:
                case VK_DOWN:
                case VK_LEFT:
                case VK_RIGHT:
                    bArrowKey = true;
                    break;
                case VK_ESCAPE:
                    bArrowKey = false;
                    SetCurSel(IDC_PLACEHOLDERS, 0);
                    break;
                default:
                    OnSelectPlaceholder();
            }
        }
        if (pMsg->wParam == VK_ESCAPE) pMsg->wParam = 0;
    }
    return CDialog::PreTranslateMessage(pMsg);
}
