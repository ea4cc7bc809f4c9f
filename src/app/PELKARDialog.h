#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/StoredSettings.h"
#include "model/CommandLine.h"
#include "platform/AppendFile.h"
#include "platform/StatusNotifier.h"
#include "ui/toolkit/Dialog.h"

class CAction;
class CConsoleRunner;
class CDVAFlags;

// The main dialog: owns every setting, the action list, the log and the notification. A
// post-download run happens entirely inside OnInitDialog; the window shows only in an
// interactive run.
class CPELKARDialog : public CDialog {
public:
    enum { IDD = 200 };
    // Maximum number of stored actions: the profile has the slots action00 to action74.
    enum { MaxActions = 75 };

    explicit CPELKARDialog(CDialog* parent = nullptr);
    ~CPELKARDialog() override;

    bool OnInitDialog() override;

    // The process's exit status: 0 when the run did its work (also when no action matched),
    // 1 when the matched action failed or the profile could not be read, 2 when the command
    // line could not be used (missing or invalid --mpeg), 128 + N when signal N stopped it.
    int ExitStatus() const { return m_exitStatus; }

    // Post-download driver: runs the first complete action whose filter matches.
    void ProcessActions();
    // Says what ProcessActions would do, and why, without doing any of it.
    void DryRun();

    // Settings and action store.
    void LoadSettings();
    void SaveSettings();

    // Log file and notification.
    void Log(const std::string& text);
    void ShowStatus(const std::string& text);

    // Processing. Each step says whether it succeeded; what went wrong is in the log.
    bool RunAction(const CAction& action, const CDVAFlags& recording);
    static std::string ReplaceExtension(std::string path, std::string extension);
    bool StripCommercials(std::string csAction, std::string csMpeg, std::string csSource,
                          std::string csDest);
    bool ProcessAudio(std::string csAction, std::string csMpeg, std::string csSource,
                      std::string csDest);
    bool ProcessVideo(std::string csAction, std::string csMpeg, std::string csSource,
                      std::string csDest, int iPass);

protected:
    // The notifier that ShowStatus uses; tests put a recording one in its place.
    virtual std::unique_ptr<CStatusNotifier> CreateStatusNotifier();

    // Settings, loaded by LoadSettings.
    std::string rtvEditPath;
    std::string evtDumpPath;
    std::string ffmpegPath;
    std::string tempPath;
    int logging = 0;
    std::string loggingPath;

    CCommandLine m_commandLine;
    std::unique_ptr<CAppendFile> m_logFile;
    std::unique_ptr<CStatusNotifier> m_statusNotifier;
    std::vector<std::string> m_actions;

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
    void ReportProfileNote(bool opensWindow);
    void ChooseRunMode();
    void InitInteractiveWindow();

    // Steps of RunAction and the stages (src/processing).
    bool ConvertRecording(const CAction& action, const CDVAFlags& recording);
    bool Convert(const CAction& action, const CDVAFlags& recording, const std::string& source);
    static std::string FormatStopLine();
    bool DumpEvents(CConsoleRunner& runner, const std::string& csSource,
                    std::string* evtDumpOutput);
    bool EditRecording(CConsoleRunner& runner, const std::string& csDest,
                       const std::string& evtDumpOutput);
    bool HasToolPath(const std::string& stage, const std::string& tool, const std::string& path);
    bool LogToolEnd(const std::string& stage, const std::string& tool, bool started,
                    const CConsoleRunner& runner);
    bool HasOutputFile(const std::string& stage, const std::string& path);

    SStoredSettings CurrentSettings() const;
    void ApplySettings(const SStoredSettings& settings);

    int m_exitStatus = 0;
    // A dry run leaves no trace: no log, no save, no notification.
    bool m_dryRun = false;
    // A run with arguments that would convert, which nobody may be watching: no box may wait.
    bool m_unattended = false;
    // What the profile held at the last load or save, to tell whether anything has changed.
    SStoredSettings m_savedSettings;
    // The action slots as stored, incomplete ones included, for the dry run to explain.
    std::vector<std::string> m_storedActionTexts;
    // Why the profile could not be read; empty when it could.
    std::string m_profileError;
    // Why the profile was read as empty though a file is there; logged once the log is open.
    std::string m_profileNote;
    // A profile found at load is never replaced by a save that finds none.
    bool m_profileFound = false;
};
