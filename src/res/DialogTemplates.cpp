#include "res/DialogTemplates.h"

#include "model/DVAFlags.h"
#include "res/Resource.h"

namespace {

constexpr unsigned kEditStyle = StyleAutoHScroll | StyleBorder | StyleTabStop;
constexpr unsigned kModalStyle = DialogPopup | DialogCaption | DialogSystemMenu | DialogModalFrame;
const SDialogFont kFont = {"MS Sans Serif", 8};

SControlTemplate Label(const char* text, SDialogRect rect, int id = IDC_STATIC) {
    return {id, EControlKind::Static, text, rect, 0, {}};
}

SControlTemplate CentredLabel(int id, const char* text, SDialogRect rect) {
    return {id, EControlKind::Static, text, rect, StyleCentered, {}};
}

SControlTemplate Group(const char* text, SDialogRect rect) {
    return {IDC_STATIC, EControlKind::GroupBox, text, rect, 0, {}};
}

SControlTemplate Button(int id, const char* text, SDialogRect rect, unsigned style = 0) {
    return {id, EControlKind::PushButton, text, rect, StyleTabStop | style, {}};
}

SControlTemplate Edit(int id, SDialogRect rect) {
    return {id, EControlKind::Edit, "", rect, kEditStyle, {}};
}

SControlTemplate Check(int id, const char* text, SDialogRect rect, unsigned style = 0) {
    return {id, EControlKind::CheckBox, text, rect, StyleTabStop | style, {}};
}

SDialogTemplate MainTemplate() {
    return {IDD_PELKAR_DIALOG,
            "PELKAR",
            221,
            150,
            kFont,
            kModalStyle | DialogVisible | DialogMinimizeBox | DialogAppWindow,
            {
                Label("Actions", {7, 7, 25, 8}),
                {IDC_ACTION_LIST,
                 EControlKind::ListBox,
                 "",
                 {7, 18, 206, 65},
                 StyleNotify | StyleVScroll | StyleBorder | StyleTabStop | StyleNoIntegralHeight,
                 {}},
                Button(IDC_ADD, "Add", {7, 86, 50, 14}),
                Button(IDC_EDIT_ACTION, "Edit", {59, 86, 50, 14}),
                Button(IDC_COPY, "Copy", {111, 86, 50, 14}),
                Button(IDC_REMOVE, "Remove", {7, 103, 50, 14}),
                Button(IDC_REMOVE_ALL, "Remove All", {59, 103, 50, 14}),
                Button(IDC_MOVE_UP, "Move Up", {163, 86, 50, 14}),
                Button(IDC_MOVE_DOWN, "Move Down", {163, 102, 50, 14}),
                {IDC_STATIC, EControlKind::EtchedLine, "", {7, 122, 207, 1}, 0, {}},
                Button(IDC_CONFIGURATION, "Configuration", {7, 128, 50, 14}),
                Button(IDC_COMMAND, "Command", {59, 128, 50, 14}),
                Button(IDC_ABOUT, "About", {111, 128, 50, 14}),
                Button(IDC_EXIT, "Exit", {163, 128, 50, 14}),
            },
            IDR_MAINFRAME};
}

SDialogTemplate AboutTemplate() {
    return {IDD_ABOUTBOX,
            "About",
            170,
            81,
            kFont,
            kModalStyle,
            {
                CentredLabel(IDC_ABOUT_LINE1, "About Text Line 1", {9, 9, 150, 8}),
                CentredLabel(IDC_ABOUT_LINE2, "About Text Line 2", {9, 19, 150, 8}),
                Button(IDC_VISIT_WEB_SITE, "Visit Web Site", {30, 60, 52, 14}),
                Button(IDC_CLOSE, "Close", {87, 60, 52, 14}, StyleDefaultButton),
                {IDC_STATIC, EControlKind::EtchedFrame, "", {7, 7, 156, 24}, 0, {}},
            }};
}

SDialogTemplate SettingsTemplate() {
    return {IDD_SETTINGS,
            "Settings",
            257,
            244,
            kFont,
            kModalStyle,
            {
                Group("Applications", {7, 6, 243, 107}),
                Label("FFMPEG:", {13, 20, 32, 8}),
                Edit(IDC_FFMPEG_PATH, {13, 30, 177, 14}),
                Button(IDC_BROWSE_FFMPEG, "Browse...", {193, 30, 50, 14}),
                Label("EVTDump:", {13, 49, 36, 8}),
                Edit(IDC_EVTDUMP_PATH, {13, 59, 177, 14}),
                Button(IDC_BROWSE_EVTDUMP, "Browse...", {193, 59, 50, 14}),
                Label("RTVEdit:", {13, 80, 30, 8}),
                Edit(IDC_RTVEDIT_PATH, {13, 90, 177, 14}),
                Button(IDC_BROWSE_RTVEDIT, "Browse...", {193, 90, 50, 14}),
                Group("Temp Directory", {7, 117, 243, 36}),
                Edit(IDC_TEMP_PATH, {13, 131, 177, 14}),
                Button(IDC_BROWSE_TEMP_DIRECTORY, "Browse...", {193, 131, 50, 14}),
                Group("Logging", {7, 158, 243, 51}),
                Check(IDC_LOGGING, "Enable", {14, 171, 38, 10}),
                Edit(IDC_LOGGING_PATH, {14, 186, 177, 14}),
                Button(IDC_BROWSE_LOG_FILE, "Browse...", {194, 186, 50, 14}),
                Button(IDC_OK_BUTTON, "OK", {147, 224, 50, 14}),
                Button(IDC_CANCEL_BUTTON, "Cancel", {200, 224, 50, 14}),
            }};
}

// One filter row: a text-less check box for the field's flag, an edit for its pattern and a
// label naming its placeholder.
void AddFilterRow(std::vector<SControlTemplate>& controls, EDVAField field, int y, int checkX,
                  int editX, int editWidth, int labelX) {
    const SFilterRowIds& ids = kFilterRowIds[field];
    controls.push_back(Check(ids.check, "", {checkX, y, 9, 13}));
    controls.push_back(Edit(ids.edit, {editX, y, editWidth, 13}));
    controls.push_back({ids.label,
                        EControlKind::Static,
                        DVAFieldPlaceholder(field),
                        {labelX, y, 40, 13},
                        StyleCenterVertically,
                        {}});
}

std::vector<SControlTemplate> ActionControls() {
    std::vector<SControlTemplate> controls = {
        Group("Action", {7, 3, 301, 100}),
        Label("Name:", {13, 16, 21, 8}),
        Edit(IDC_NAME, {13, 27, 148, 13}),
        Label("Output directory:", {13, 43, 53, 8}),
        Edit(IDC_OUTPUT_DIRECTORY, {13, 54, 148, 13}),
        Button(IDC_BROWSE_OUTPUT_DIRECTORY, "Browse...", {165, 54, 50, 14}),
        Label("Output filename:", {13, 72, 51, 8}),
        Edit(IDC_OUTPUT_FILENAME, {13, 83, 148, 13}),
        {IDC_PLACEHOLDERS,
         EControlKind::ComboBox,
         "",
         {165, 83, 56, 85},
         StyleVScroll | StyleTabStop,
         {"DVA Flags...", "%title%", "%episode%", "%showid%", "%startdate%", "%starttime%", "%dur%",
          "%dname%", "%dcat%", "%dchan%", "%rname%", "%rcat%", "%rchan%"}},
        Check(IDC_AUDIO_ONLY, "Audio only", {233, 18, 71, 10}),
        Check(IDC_STRIP_COMMERCIALS, "Strip commercials", {233, 35, 71, 10}),
        Check(IDC_TWO_PASS, "Use two pass", {233, 46, 71, 10}),
        Check(IDC_REMOVE_SOURCE, "Remove source", {233, 62, 71, 10}, StyleDisabled),
        Group("DVA Flags", {7, 108, 301, 114}),
    };
    AddFilterRow(controls, FieldTitle, 122, 14, 27, 87, 118);
    AddFilterRow(controls, FieldMpeg, 138, 14, 27, 87, 118);
    AddFilterRow(controls, FieldEpisode, 122, 158, 172, 87, 264);
    AddFilterRow(controls, FieldShowId, 138, 158, 172, 87, 263);
    controls.push_back({IDC_STATIC, EControlKind::EtchedLine, "", {11, 156, 292, 1}, 0, {}});
    AddFilterRow(controls, FieldStartDate, 165, 14, 27, 37, 68);
    AddFilterRow(controls, FieldStartTime, 165, 112, 125, 37, 166);
    AddFilterRow(controls, FieldDur, 165, 211, 224, 37, 265);
    AddFilterRow(controls, FieldDName, 186, 14, 27, 37, 68);
    AddFilterRow(controls, FieldDCat, 186, 112, 125, 37, 166);
    AddFilterRow(controls, FieldDChan, 186, 211, 224, 37, 265);
    AddFilterRow(controls, FieldRName, 202, 14, 27, 37, 68);
    AddFilterRow(controls, FieldRCat, 202, 112, 125, 37, 166);
    AddFilterRow(controls, FieldRChan, 202, 211, 224, 37, 265);
    controls.push_back(Label("(Use * and ? for wildcards)", {7, 233, 84, 8}, IDC_WILDCARD_HINT));
    controls.push_back(Button(IDC_OK_BUTTON, "OK", {205, 231, 50, 14}, StyleDefaultButton));
    controls.push_back(Button(IDC_CANCEL_BUTTON, "Cancel", {258, 231, 50, 14}));
    return controls;
}

SDialogTemplate ActionTemplate() {
    return {IDD_ACTION, "Action", 315, 252, kFont, kModalStyle, ActionControls()};
}

// A long text, such as the dry run's report, in a window that fits even a 640 x 480 screen: it
// scrolls instead of growing.
SDialogTemplate ReportTemplate() {
    return {IDD_REPORT,
            "PELKAR",
            360,
            250,
            kFont,
            kModalStyle,
            {
                {IDC_REPORT_TEXT,
                 EControlKind::Edit,
                 "",
                 {7, 7, 346, 216},
                 StyleMultiline | StyleReadOnly | StyleVScroll | StyleBorder | StyleTabStop,
                 {}},
                Button(IDC_REPORT_OK, "OK", {303, 229, 50, 14}, StyleDefaultButton),
            },
            IDR_MAINFRAME};
}

}  // namespace

const SDialogTemplate* FindDialogTemplate(int templateId) {
    static const std::vector<SDialogTemplate> templates = {
        MainTemplate(), AboutTemplate(), SettingsTemplate(), ActionTemplate(), ReportTemplate()};
    for (const SDialogTemplate& candidate : templates) {
        if (candidate.id == templateId) return &candidate;
    }
    return nullptr;
}
