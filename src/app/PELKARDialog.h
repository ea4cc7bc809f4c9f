#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/StoredSettings.h"
#include "model/CommandLine.h"
#include "platform/AppendFile.h"
#include "platform/StatusNotifier.h"
#include "processing/RunSink.h"
#include "ui/toolkit/Dialog.h"

// The main dialog: owns every setting, the action list, the log and the notification. A
// post-download run happens entirely inside OnInitDialog, where the dialog hands the chosen
// action to a CActionRunner; the window shows only in an interactive run.
class CPELKARDialog : public CDialog, public CRunSink {
public:
    enum { IDD = 200 };
    // Maximum number of stored actions: the profile has the slots action00 to action74.
    enum { MaxActions = 75 };

    explicit CPELKARDialog(CDialog* parent = nullptr);
    ~CPELKARDialog() override;

    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    // The process's exit status: 0 when the run did its work (also when no action matched),
    // 1 when the matched action failed or the profile could not be read, 2 when the command
    // line could not be used (missing or invalid --mpeg), 3 when a dry run found no matching
    // action, 128 + N when signal N stopped it.
    int ExitStatus() const { return m_exitStatus; }

    // Post-download driver: runs the first complete action whose filter matches.
    void ProcessActions();
    // Says what ProcessActions would do, and why, without doing any of it.
    void DryRun();

    // Settings and action store.
    void LoadSettings();
    void SaveSettings();

    // Log file and notification.
    void Log(const std::string& text) override;
    void ShowStatus(const std::string& text) override;

protected:
    // The notifier that ShowStatus uses; tests put a recording one in its place.
    virtual std::unique_ptr<CStatusNotifier> CreateStatusNotifier();

    // The action list and the six settings, loaded by LoadSettings.
    SStoredSettings m_settings;

    CCommandLine m_commandLine;
    std::unique_ptr<CAppendFile> m_logFile;
    std::unique_ptr<CStatusNotifier> m_statusNotifier;

    // ---- Main window: the action list and its commands (src/ui/MainWindow.cpp) ----
public:
    // Rebuilds the list box from the action list, selects the row (none when it does not
    // exist) and updates the buttons.
    void FillActionList(int row);
    // Enables the list buttons from the list's size and selection.
    void UpdateButtons();

    bool PreTranslateMessage(MSG* pMsg) override;
    void OnSysCommand(unsigned nID, long lParam) override;
    bool OnHelpInfo(HELPINFO* pHelpInfo) override;

protected:
    const std::vector<SMessageEntry>& GetMessageTable() const override;

    void OnAdd();
    void OnEdit();
    void OnCopy();
    void OnRemove();
    void OnRemoveAll();
    void OnMoveUp();
    void OnMoveDown();
    void OnConfiguration();
    void OnCopyCommand();
    void OnAbout();
    // ---- End of the main window ----

private:
    bool OpenLogFile();
    // Says what went wrong: in a box where a person started PELKAR, else without one.
    void ReportProblem(const std::string& boxText, const std::string& unattendedText);
    void ReportProfileNote();
    void ChooseRunMode();
    void ShowVersion();
    void InitInteractiveWindow();
    bool MayClose();
    void LetProblemBeSeen();

    int m_exitStatus = 0;
    // A dry run leaves no trace: no log, no save, no notification.
    bool m_dryRun = false;
    // Nor does a run that only tells the version.
    bool m_versionOnly = false;
    // A run with arguments that would convert, which nobody may be watching: no box may wait.
    bool m_unattended = false;
    // Whether the run opens the window, whose boxes wait until it is there.
    bool m_opensWindow = false;
    // What the profile held at the last load or save, to tell whether anything has changed.
    SStoredSettings m_savedSettings;
    // The action slots as stored, incomplete ones included, for the dry run to explain.
    std::vector<std::string> m_storedActionTexts;
    // Why the profile could not be read; empty when it could.
    std::string m_profileError;
    // Why the profile was read as empty though a file is there; logged once the log is open.
    std::string m_profileNote;
    // The profile is in an encoding PELKAR cannot read.
    bool m_unknownEncoding = false;
    // A profile found at load is never replaced by a save that finds none.
    bool m_profileFound = false;
    // Why the last save failed.
    std::string m_saveError;
    // The window is shown: the user edits the actions and settings.
    bool m_windowShown = false;
    // When an unattended run showed its problem in the notification; -1 when it showed none.
    long long m_problemShownAt = -1;
};
