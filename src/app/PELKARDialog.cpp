#include "app/PELKARDialog.h"

#include "app/DryRun.h"
#include "app/UsageText.h"
#include "model/Action.h"
#include "model/ActionChoice.h"
#include "model/DVAFlags.h"
#include "model/ProcessArguments.h"
#include "model/Text.h"
#include "platform/Console.h"
#include "platform/ErrorLine.h"
#include "platform/Paths.h"
#include "platform/Process.h"
#include "platform/ProcessCommandLine.h"
#include "platform/StopRequest.h"
#include "processing/ActionRunner.h"
#include "res/ProductInfo.h"
#include "res/Resource.h"
#include "ui/ReportDialog.h"

namespace {
const char* const kBanner = "---------------------------------------------------";
// How long a problem stays in the notification at least.
const long long kProblemShownMilliseconds = 5000;
}  // namespace

CPELKARDialog::CPELKARDialog(CDialog* parent) : CDialog(IDD, parent) {}

CPELKARDialog::~CPELKARDialog() {
    if (!m_dryRun && !m_versionOnly) SaveSettings();
    if (m_statusNotifier) {
        LetProblemBeSeen();
        m_statusNotifier->Remove();
        m_statusNotifier.reset();
    }
    // The last line may fail like any other (a full disk): the log is then dropped already.
    Log("~CPELKARDialog(): PELKAR terminating.");
    m_logFile.reset();
}

// --version and --dry-run count only as the first argument, where no value the host did not
// quote can bring them along; a dry run then wins over --gui and --help, which such a value
// can bring. Only a run that would convert is unattended: nobody may be there to close a box.
bool CPELKARDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    const bool withArguments = GetProcessArgumentCount() > 1;
    const std::string firstArgument = withArguments ? ToLower(GetProcessArguments()[1]) : "";
    if (firstArgument == "--version") {
        m_versionOnly = true;
        ShowVersion();
        OnOK();
        return true;
    }
    LoadSettings();
    m_dryRun = firstArgument == "--dry-run";
    m_opensWindow = !withArguments || (m_commandLine.HasOption("--gui") && !m_dryRun);
    m_unattended = !m_opensWindow && !m_dryRun && !m_commandLine.HasOption("--help");
    // Only the window may go on with the defaults: a run without the user's actions cannot
    // tell what the user wanted done.
    if (m_unknownEncoding && !m_opensWindow) {
        m_profileError = "The profile " + GetProfilePath() +
                         " cannot be read: it is in an encoding PELKAR cannot read";
        m_profileNote.clear();
    }
    if (!m_profileError.empty()) {
        ReportProblem(m_profileError, "No action was run. " + m_profileError);
    }
    if (!withArguments) {
        ReportProfileNote();
        InitInteractiveWindow();
        return true;
    }
    if (m_settings.logging && !m_dryRun) OpenLogFile();
    for (int i = 0; i < 3; ++i) Log("");
    Log(kBanner);
    for (int i = 0; i < 3; ++i) Log("");
    Log("OnInitDialog(): Logging initialized");
    Log("OnInitDialog(): Command Line = " + GetProcessCommandLine());
    ReportProfileNote();
    if (m_opensWindow) {
        InitInteractiveWindow();
        return true;
    }
    ChooseRunMode();
    OnOK();
    return true;
}

// A box would stop the host's queue until someone clicks: an unattended run says it in the
// notification and on standard error instead, and goes on as it can.
// A dry run serves scripts, and shows no notification: it says it on standard error. The
// window says it in a box as it opens.
void CPELKARDialog::ReportProblem(const std::string& boxText, const std::string& unattendedText) {
    if (m_dryRun) {
        WriteErrorLine(GetApplicationTitle(), boxText);
        return;
    }
    if (m_opensWindow) {
        MessageBoxOnceOpen(boxText, MB_ICONSTOP);
        return;
    }
    if (!m_unattended) {
        MessageBox(boxText, std::string(), MB_ICONSTOP);
        return;
    }
    ShowStatus(unattendedText);
    m_problemShownAt = ClockMilliseconds();
    WriteErrorLine(GetApplicationTitle(), unattendedText);
}

// Defaults have logging off, so a note about the profile that no log takes is said where
// someone sees it: in a box as the window opens, whose edits will not be saved, else on standard
// error.
void CPELKARDialog::ReportProfileNote() {
    if (m_profileNote.empty()) return;
    const std::string line = "LoadSettings(): " + m_profileNote;
    if (m_logFile) Log(line);
    if (m_opensWindow) {
        MessageBoxOnceOpen(m_profileNote, MB_ICONEXCLAMATION);
    } else if (!m_logFile) {
        WriteErrorLine(GetApplicationTitle(), line);
    }
}

// A run that ends right after its problem would take the notification away before anyone
// could read it.
void CPELKARDialog::LetProblemBeSeen() {
    if (m_problemShownAt < 0) return;
    const long long shown = ClockMilliseconds() - m_problemShownAt;
    if (shown < kProblemShownMilliseconds)
        SleepMilliseconds(static_cast<unsigned>(kProblemShownMilliseconds - shown));
}

void CPELKARDialog::InitInteractiveWindow() {
    m_windowShown = true;
    FillActionList(0);
    if (!HasSystemMenu()) return;
    RemoveSystemMenuMaximize();
    AppendSystemMenuSeparator();
    AppendSystemMenuItem(IDM_ABOUTBOX, kAboutCaption);
}

void CPELKARDialog::OnOK() {
    if (!m_windowShown || MayClose()) CDialog::OnOK();
}

void CPELKARDialog::OnCancel() {
    if (!m_windowShown || MayClose()) CDialog::OnCancel();
}

// Every change is saved at once; one that could not be is said before the window goes, and
// the user may keep the window open to copy the actions elsewhere.
bool CPELKARDialog::MayClose() {
    SaveSettings();
    if (m_settings == m_savedSettings) return true;
    return MessageBox("The profile " + GetProfilePath() + " could not be saved: " + m_saveError +
                          ".\n\nThe changes made in this window are lost when it closes. "
                          "Close it all the same?",
                      std::string(), MB_OKCANCEL | MB_ICONSTOP) == IDOK;
}

void CPELKARDialog::ChooseRunMode() {
    if (m_commandLine.HasOption("--help") && !m_dryRun) {
        // Printed where a terminal shows it; where no console is at hand, the short box.
        const SUsagePlaces places{GetApplicationTitle(), GetProfilePath(), m_settings.loggingPath,
                                  m_settings.logging != 0};
        std::string error;
        const EConsoleWrite written = WriteToConsole(UsageText(places), &error);
        if (written == EConsoleWrite::NoConsole) MessageBox("HELP", "PELKAR");
        if (written == EConsoleWrite::Failed) {
            m_exitStatus = 1;
            WriteErrorLine(GetApplicationTitle(),
                           "The help cannot be written to standard output: " + error);
        }
    } else if (!m_commandLine.HasOption("--mpeg")) {
        m_exitStatus = 2;
        MessageBox("Invalid --mpeg parameter");
    } else if (m_commandLine.GetOption("--mpeg").empty()) {
        m_exitStatus = 2;
        MessageBox("Missing --mpeg parameter");
    } else if (m_dryRun) {
        DryRun();
    } else if (!m_profileError.empty()) {
        // Without its actions the run cannot tell what the user wanted done.
        m_exitStatus = 1;
    } else {
        ProcessActions();
    }
}

// Touches nothing: no profile, no log, no notification.
void CPELKARDialog::ShowVersion() {
    std::string error;
    const EConsoleWrite written = WriteToStartingConsole(std::string(kProductTitle) + "\n", &error);
    if (written == EConsoleWrite::NoConsole) MessageBox(kProductTitle, "PELKAR");
    if (written == EConsoleWrite::Failed) {
        m_exitStatus = 1;
        WriteErrorLine(GetApplicationTitle(),
                       "The version cannot be written to standard output: " + error);
    }
}

void CPELKARDialog::DryRun() {
    CDVAFlags recording;
    recording.ParseCommandLine(m_commandLine);
    std::vector<std::string> ignoredSwitches;
    for (const char* option : {"--gui", "--help"}) {
        if (m_commandLine.HasOption(option)) ignoredSwitches.push_back(option);
    }
    bool matched = false;
    const std::string report =
        m_profileError.empty()
            ? DryRunReport(m_settings, m_storedActionTexts, recording, ignoredSwitches, &matched)
            : UnreadableProfileReport(m_profileError);
    // A script can tell from the status whether the recording would be converted.
    m_exitStatus = !m_profileError.empty() ? 1 : matched ? 0 : 3;
    std::string error;
    if (!ShowReport(report, &error)) {
        m_exitStatus = 1;
        WriteErrorLine(GetApplicationTitle(),
                       "The report cannot be written to standard output: " + error);
    }
}

// A log file that cannot be opened is reported, and the run goes on without a log, so an
// unattended post-download run still converts its recording.
bool CPELKARDialog::OpenLogFile() {
    auto file = std::make_unique<CAppendFile>();
    std::string error;
    if (!file->Open(m_settings.loggingPath, &error)) {
        ReportProblem(error, "The log cannot be opened, so the run goes on without it: " + error);
        // The progress replaces the text at once: the title keeps the problem in view.
        if (m_unattended) m_statusNotifier->SetTitle("PELKAR: the log cannot be opened");
        return false;
    }
    m_logFile = std::move(file);
    return true;
}

// While the action runs, a request to stop the program ends the running tool and lets the
// action clean up after itself; the program then ends with 128 + the signal's number.
void CPELKARDialog::ProcessActions() {
    const CStopRequestWatch stopRequests;
    CDVAFlags recording;
    recording.ParseCommandLine(m_commandLine);
    for (const SActionTrial& trial : TryActions(m_settings.actions, recording)) {
        Log("ProcessActions(): Processing action: " + trial.action.GetName());
        if (trial.matches) {
            Log("ProcessActions(): Filter match found!");
            CActionRunner runner(ToolSettings(m_settings), *this);
            if (!runner.RunAction(trial.action, recording)) m_exitStatus = 1;
            if (StopRequestSignal() != 0) m_exitStatus = 128 + StopRequestSignal();
            return;
        }
    }
    Log("ProcessActions(): No filter match found!");
}
