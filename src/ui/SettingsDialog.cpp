#include "ui/SettingsDialog.h"

#include "model/Text.h"
#include "platform/Paths.h"

namespace {

// A file type offered by the file chooser: "description|pattern||".
std::string FileFilter(const std::string& description, const std::string& pattern) {
    return description + "|" + pattern + "||";
}

// Executables carry ".exe" on Windows and no extension elsewhere, where every file is offered.
std::string ExecutableFilter(const std::string& description) {
    return FileFilter(description, DefaultToolName("*"));
}

}  // namespace

CSettingsDialog::CSettingsDialog(CDialog* parent) : CDialog(IDD, parent) {}

CSettingsDialog::~CSettingsDialog() = default;

const std::vector<CDialog::SMessageEntry>& CSettingsDialog::GetMessageTable() const {
    static const std::vector<SMessageEntry> table = {
        {IDC_BROWSE_RTVEDIT, BN_CLICKED, Bind(&CSettingsDialog::OnBrowseRTVEdit)},
        {IDC_BROWSE_EVTDUMP, BN_CLICKED, Bind(&CSettingsDialog::OnBrowseEVTDump)},
        {IDC_BROWSE_FFMPEG, BN_CLICKED, Bind(&CSettingsDialog::OnBrowseFFMPEG)},
        {IDC_BROWSE_LOG_FILE, BN_CLICKED, Bind(&CSettingsDialog::OnBrowseLogFile)},
        {IDC_BROWSE_TEMP_DIRECTORY, BN_CLICKED, Bind(&CSettingsDialog::OnBrowseTempDirectory)},
        {IDC_RTVEDIT_PATH, EN_CHANGE, Bind(&CSettingsDialog::UpdateControls)},
        {IDC_EVTDUMP_PATH, EN_CHANGE, Bind(&CSettingsDialog::UpdateControls)},
        {IDC_FFMPEG_PATH, EN_CHANGE, Bind(&CSettingsDialog::UpdateControls)},
        {IDC_TEMP_PATH, EN_CHANGE, Bind(&CSettingsDialog::UpdateControls)},
        {IDC_LOGGING_PATH, EN_CHANGE, Bind(&CSettingsDialog::UpdateControls)},
        {IDC_LOGGING, BN_CLICKED, Bind(&CSettingsDialog::UpdateControls)},
        {IDC_OK_BUTTON, BN_CLICKED, Bind(&CDialog::OnOK)},
        {IDC_CANCEL_BUTTON, BN_CLICKED, Bind(&CDialog::OnCancel)},
    };
    return table;
}

bool CSettingsDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    bInitializing = true;
    SetDlgItemText(IDC_EVTDUMP_PATH, evtDumpPath);
    SetDlgItemText(IDC_RTVEDIT_PATH, rtvEditPath);
    SetDlgItemText(IDC_FFMPEG_PATH, ffmpegPath);
    SetDlgItemText(IDC_TEMP_PATH, tempPath);
    CheckDlgButton(IDC_LOGGING, logging ? 1 : 0);
    SetDlgItemText(IDC_LOGGING_PATH, loggingPath);
    bInitializing = false;
    UpdateControls();
    return true;
}

void CSettingsDialog::UpdateControls() {
    if (bInitializing) return;
    rtvEditPath = Trim(GetDlgItemText(IDC_RTVEDIT_PATH));
    evtDumpPath = Trim(GetDlgItemText(IDC_EVTDUMP_PATH));
    ffmpegPath = Trim(GetDlgItemText(IDC_FFMPEG_PATH));
    tempPath = Trim(GetDlgItemText(IDC_TEMP_PATH));
    logging = IsDlgButtonChecked(IDC_LOGGING) ? 1 : 0;
    loggingPath = Trim(GetDlgItemText(IDC_LOGGING_PATH));
    EnableDlgItem(IDC_LOGGING_PATH, logging != 0);
    const bool toolsComplete =
        !rtvEditPath.empty() && !evtDumpPath.empty() && !ffmpegPath.empty() && !tempPath.empty();
    EnableDlgItem(IDC_OK_BUTTON, toolsComplete && (logging == 0 || !loggingPath.empty()));
}

void CSettingsDialog::OnBrowseRTVEdit() {
    BrowseForFile(IDC_RTVEDIT_PATH, "Locate RTVEdit", ExecutableFilter("RTVEdit executable"),
                  rtvEditPath, DefaultToolName("rtvedit"));
}

void CSettingsDialog::OnBrowseEVTDump() {
    BrowseForFile(IDC_EVTDUMP_PATH, "Locate EVTDump", ExecutableFilter("EVTDump executable"),
                  evtDumpPath, DefaultToolName("evtdump"));
}

void CSettingsDialog::OnBrowseFFMPEG() {
    BrowseForFile(IDC_FFMPEG_PATH, "Locate FFMPEG", ExecutableFilter("FFMPEG executable"),
                  ffmpegPath, DefaultToolName("ffmpeg"));
}

void CSettingsDialog::OnBrowseLogFile() {
    BrowseForFile(IDC_LOGGING_PATH, "Specify PELKAR log file",
                  FileFilter("PELKAR log file", "*.log"), loggingPath, "pelkar.log");
}

void CSettingsDialog::BrowseForFile(int editId, std::string title, std::string filter,
                                    std::string current, std::string defaultName) {
    const SFileChooserRequest request = {title, filter, current.empty() ? defaultName : current};
    std::string path;
    if (ChooseFile(request, &path)) ShowChosenPath(editId, path);
}

void CSettingsDialog::OnBrowseTempDirectory() {
    const SFolderChooserRequest request = {"Select Temp Directory", tempPath};
    std::string path;
    if (ChooseFolder(request, &path)) ShowChosenPath(IDC_TEMP_PATH, path);
}

void CSettingsDialog::ShowChosenPath(int editId, const std::string& path) {
    SetDlgItemText(editId, path);
    SetEditSel(editId, static_cast<int>(path.size()), -1);
    ScrollCaret(editId);
    UpdateControls();
}
