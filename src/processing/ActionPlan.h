#pragma once

#include <string>
#include <vector>

#include "processing/ToolSettings.h"

class CAction;
class CDVAFlags;

// A reason the run would not start a tool: the log line the run writes, and the sentence a
// dry run shows under "The run would fail:".
struct SRefusal {
    std::string logLine;
    std::string reportLine;
};

// Everything a run decides before it starts a tool, made once for the run and the dry run: the
// run carries it out and the dry run prints it, so the two cannot disagree.
struct SActionPlan {
    std::string action;     // the action's name
    std::string recording;  // the recording's path, as the host passed it
    std::string destination;
    // The folders of the template below the output directory that are missing, in the order
    // they are made.
    std::vector<std::string> foldersToMake;
    bool stripCommercials = false;
    // Passes of the conversion: none for audio only, 1 and 2 with two passes, else 0.
    std::vector<int> passes;
    // The tools as they would be started.
    SToolSettings tools;
    // What the run does otherwise than the settings say, in sentences for the log and the
    // dry run.
    std::vector<std::string> notes;
    // Empty when the run may start.
    std::vector<SRefusal> refusals;

    // The input of the conversion: the stripped copy when there is one, else the recording.
    std::string ConversionSource(const std::string& strippedFile) const;
    // The command lines in the order the run starts them.
    std::vector<std::string> CommandLines(const std::string& strippedFile) const;
};

SActionPlan PlanAction(const CAction& action, const CDVAFlags& recording,
                       const SToolSettings& settings);

// The shape of the stripped copy's name, for a reader who will never see the real one.
std::string StrippedFilePattern(const std::string& tempPath);

// The prefix of the temporary names of the stripped copies.
extern const char* const kTempPrefix;
