#pragma once

#include <string>

#include "platform/Files.h"
#include "processing/ActionPlan.h"
#include "processing/RunSink.h"
#include "processing/ToolSettings.h"

class CAction;
class CConsoleRunner;
class COutputClaim;
class CDVAFlags;
class CTempFileLock;

// Carries out the plan of the action that a post-download run has chosen: strips the
// commercials, converts, and cleans up, saying what it does in the sink's log and notification.
// Each step says whether it succeeded; what went wrong is in the log.
class CActionRunner {
public:
    CActionRunner(SToolSettings settings, CRunSink& sink);

    bool RunAction(const CAction& action, const CDVAFlags& recording);
    bool StripCommercials(std::string csAction, std::string csMpeg, std::string csSource,
                          std::string csDest);
    bool ProcessAudio(std::string csAction, std::string csMpeg, std::string csSource,
                      std::string csDest);
    bool ProcessVideo(std::string csAction, std::string csMpeg, std::string csSource,
                      std::string csDest, int iPass);

    // The tools as the stages start them; a run takes them from its plan.
    SToolSettings& Tools() { return m_tools; }

private:
    void Log(const std::string& text) { m_sink.Log(text); }
    void ShowStatus(const std::string& text) { m_sink.ShowStatus(text); }

    bool CarryOut(const SActionPlan& plan);
    bool Convert(const SActionPlan& plan, const std::string& source);
    bool AreStrippedNamesFree(const SActionPlan& plan, const std::string& tempName);
    bool MakeOutputFolders(const SActionPlan& plan);
    bool MakeMissingFolder(const std::string& folder);
    bool MakeHeldTempName(CTempFileLock& tempLock, std::string* name, SSystemError* error);
    void RemoveUnfinishedOutput(const COutputClaim& claim, const std::string& csDest);
    void RemoveStrippedFiles(CTempFileLock& tempLock, const std::string& tempName);
    void RemoveAbandonedStrippedFiles();
    void RemoveOrLog(const std::string& path);
    void LogFileThatStays(const std::string& path, const std::string& error);
    static std::string FormatStopLine();

    bool DumpEvents(CConsoleRunner& runner, const std::string& csSource,
                    std::string* evtDumpOutput);
    bool EditRecording(CConsoleRunner& runner, const std::string& csDest,
                       const std::string& evtDumpOutput);
    bool LogToolEnd(const std::string& stage, const std::string& tool, bool started,
                    const CConsoleRunner& runner);
    bool HasOutputFile(const std::string& stage, const std::string& path);

    // The output a conversion is writing, and what was there before it.
    struct SOutputBefore {
        std::string path;
        SFileStamp stamp;
    };

    SToolSettings m_tools;
    CRunSink& m_sink;
    SOutputBefore m_output;
};
