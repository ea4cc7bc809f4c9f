#pragma once

#include <string>
#include <vector>

#include "processing/ToolSettings.h"

class CProfile;

// Everything the profile holds for the program: the action list, as stored texts in list
// order, and the six settings.
struct SStoredSettings {
    std::vector<std::string> actions;
    std::string rtvEditPath;
    std::string evtDumpPath;
    std::string ffmpegPath;
    std::string tempPath;
    int logging = 0;
    std::string loggingPath;

    bool operator==(const SStoredSettings& other) const;
    bool operator!=(const SStoredSettings& other) const { return !(*this == other); }
};

// What a profile holds, read by the loading rules: empty slots and incomplete actions are
// dropped, the others kept in their canonical text; missing settings take their defaults.
SStoredSettings ReadStoredSettings(const CProfile& profile, int maxActions);

// The texts of the action slots that are not empty, in slot order, as stored: incomplete
// actions included, before the loading rules drop them.
std::vector<std::string> ReadStoredActionTexts(const CProfile& profile, int maxActions);

// Writes every key, slots beyond the list's end empty, so no stale action survives and the
// file is left in canonical form.
void WriteStoredSettings(const SStoredSettings& settings, int maxActions, CProfile& profile);

// The settings a run's tools need.
SToolSettings ToolSettings(const SStoredSettings& settings);
