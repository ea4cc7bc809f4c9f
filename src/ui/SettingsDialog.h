#pragma once

#include <string>
#include <utility>
#include <vector>

#include "res/Resource.h"
#include "ui/toolkit/Dialog.h"

// The settings: the three tool paths, the temporary directory and logging. Works on its own
// copies, kept trimmed as the user types; OK is enabled only while they are complete.
class CSettingsDialog : public CDialog {
public:
    enum { IDD = IDD_SETTINGS };

    explicit CSettingsDialog(CDialog* parent = nullptr);
    ~CSettingsDialog() override;

    void SetRtvEditPath(std::string path) { rtvEditPath = std::move(path); }
    std::string GetRtvEditPath() const { return rtvEditPath; }
    void SetEvtDumpPath(std::string path) { evtDumpPath = std::move(path); }
    std::string GetEvtDumpPath() const { return evtDumpPath; }
    void SetFfmpegPath(std::string path) { ffmpegPath = std::move(path); }
    std::string GetFfmpegPath() const { return ffmpegPath; }
    void SetTempDirectory(std::string path) { tempPath = std::move(path); }
    std::string GetTempDirectory() const { return tempPath; }
    void SetLogging(int value) { logging = value; }
    int GetLogging() const { return logging; }
    void SetLoggingPath(std::string path) { loggingPath = std::move(path); }
    std::string GetLoggingPath() const { return loggingPath; }

    bool OnInitDialog() override;

    // Reads the controls into the members and enables the log path and OK.
    void UpdateControls();

protected:
    const std::vector<SMessageEntry>& GetMessageTable() const override;

    void OnBrowseRTVEdit();
    void OnBrowseEVTDump();
    void OnBrowseFFMPEG();
    void OnBrowseLogFile();
    void OnBrowseTempDirectory();
    void BrowseForFile(int editId, std::string title, std::string filter, std::string current,
                       std::string defaultName);

private:
    void ShowChosenPath(int editId, const std::string& path);

    // Keeps UpdateControls from reading the edits back while they are being filled.
    bool bInitializing = false;
    std::string rtvEditPath;
    std::string evtDumpPath;
    std::string ffmpegPath;
    std::string tempPath;
    int logging = 0;
    std::string loggingPath;
};
