#include "app/PELKARDialog.h"

#include "app/DryRun.h"
#include "app/UsageText.h"
#include "model/Action.h"
#include "model/ActionChoice.h"
#include "model/DVAFlags.h"
#include "model/ProcessArguments.h"
#include "platform/Platform.h"
#include "platform/StopRequest.h"
#include "res/ProductInfo.h"
#include "res/Resource.h"

namespace {
const char* const kBanner = "---------------------------------------------------";
}

CPELKARDialog::CPELKARDialog(CDialog* parent) : CDialog(IDD, parent) {}

CPELKARDialog::~CPELKARDialog() {
    if (!m_dryRun) SaveSettings();
    if (m_statusNotifier) {
        m_statusNotifier->Remove();
        m_statusNotifier.reset();
    }
    if (m_logFile) {
        Log("~CPELKARDialog(): PELKAR terminating.");
        m_logFile->Close();
        m_logFile.reset();
    }
}

bool CPELKARDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    LoadSettings();
    if (!m_profileError.empty()) MessageBox(m_profileError, std::string(), MB_ICONSTOP);
    if (GetProcessArgumentCount() <= 1) {
        InitInteractiveWindow();
        return true;
    }
    m_dryRun = m_commandLine.HasOption("--dry-run") && !m_commandLine.HasOption("--gui");
    if (logging && !m_dryRun) OpenLogFile();
    for (int i = 0; i < 3; ++i) Log("");
    Log(kBanner);
    for (int i = 0; i < 3; ++i) Log("");
    Log("OnInitDialog(): Logging initialized");
    Log("OnInitDialog(): Command Line = " + GetProcessCommandLine());
    if (!m_profileNote.empty()) Log(m_profileNote);
    if (m_commandLine.HasOption("--gui")) {
        InitInteractiveWindow();
        return true;
    }
    ChooseRunMode();
    OnOK();
    return true;
}

void CPELKARDialog::InitInteractiveWindow() {
    FillActionList(0);
    if (!HasSystemMenu()) return;
    RemoveSystemMenuMaximize();
    AppendSystemMenuSeparator();
    AppendSystemMenuItem(IDM_ABOUTBOX, kAboutCaption);
}

void CPELKARDialog::ChooseRunMode() {
    if (m_commandLine.HasOption("--help")) {
        // Printed where a terminal shows it; where no console is at hand, the short box.
        const SUsagePlaces places{GetApplicationTitle(), GetProfilePath(), loggingPath,
                                  logging != 0};
        if (!WriteToConsole(UsageText(places))) MessageBox("HELP", "PELKAR");
    } else if (!m_commandLine.HasOption("--mpeg")) {
        m_exitStatus = 2;
        MessageBox("Invalid --mpeg parameter");
    } else if (m_commandLine.GetOption("--mpeg").empty()) {
        m_exitStatus = 2;
        MessageBox("Missing --mpeg parameter");
    } else if (!m_profileError.empty()) {
        // Without its actions the run cannot tell what the user wanted done.
        m_exitStatus = 1;
    } else if (m_dryRun) {
        DryRun();
    } else {
        ProcessActions();
    }
}

void CPELKARDialog::DryRun() {
    CDVAFlags recording;
    recording.ParseCommandLine(m_commandLine);
    bool matched = false;
    const std::string report =
        DryRunReport(CurrentSettings(), m_storedActionTexts, recording, &matched);
    if (!WriteToConsole(report)) MessageBox(report, "PELKAR");
    // A script can tell from the status whether the recording would be converted.
    m_exitStatus = matched ? 0 : 3;
}

// A log file that cannot be opened is reported, and the run goes on without a log, so an
// unattended post-download run still converts its recording.
bool CPELKARDialog::OpenLogFile() {
    auto file = std::make_unique<CAppendFile>();
    std::string error;
    if (!file->Open(loggingPath, &error)) {
        MessageBox(error, std::string(), MB_ICONSTOP);
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
    for (const SActionTrial& trial : TryActions(m_actions, recording)) {
        Log("ProcessActions(): Processing action: " + trial.action.GetName());
        if (trial.matches) {
            Log("ProcessActions(): Filter match found!");
            if (!RunAction(trial.action, recording)) m_exitStatus = 1;
            if (StopRequestSignal() != 0) m_exitStatus = 128 + StopRequestSignal();
            return;
        }
    }
    Log("ProcessActions(): No filter match found!");
}
