#include "app/PELKARDialog.h"
#include "app/Profile.h"
#include "model/Action.h"
#include "model/Text.h"
#include "platform/Platform.h"

namespace {

const char* const kSection = "PELKAR";

std::string ActionKey(int index) { return FormatText("action%02d", index); }

}  // namespace

void CPELKARDialog::LoadSettings() {
    CProfile profile(GetProfilePath());
    m_actions.clear();
    for (int i = 0; i < MaxActions; ++i) {
        std::string stored = profile.GetProfileString(kSection, ActionKey(i), "");
        if (stored.empty()) continue;
        CAction action;
        action.FromString(stored);
        if (action.IsValid()) m_actions.push_back(action.ToString());
    }
    rtvEditPath = profile.GetProfileString(kSection, "rtvEditPath", DefaultToolName("rtvedit"));
    evtDumpPath = profile.GetProfileString(kSection, "evtDumpPath", DefaultToolName("evtdump"));
    ffmpegPath = profile.GetProfileString(kSection, "ffmpegPath", DefaultToolName("ffmpeg"));
    tempPath = profile.GetProfileString(kSection, "tempPath", GetSystemTempDirectory());
    logging = profile.GetProfileInt(kSection, "logging", 0);
    loggingPath = profile.GetProfileString(kSection, "loggingPath", "pelkar.log");
}

// Every key is written each time, slots beyond the list's end empty, so no stale action
// survives and the file is left in canonical form.
void CPELKARDialog::SaveSettings() {
    CProfile profile(GetProfilePath());
    for (int i = 0; i < MaxActions; ++i) {
        const bool inList = i < static_cast<int>(m_actions.size());
        profile.WriteProfileString(kSection, ActionKey(i), inList ? m_actions[i] : "");
    }
    profile.WriteProfileString(kSection, "rtvEditPath", rtvEditPath);
    profile.WriteProfileString(kSection, "evtDumpPath", evtDumpPath);
    profile.WriteProfileString(kSection, "ffmpegPath", ffmpegPath);
    profile.WriteProfileString(kSection, "tempPath", tempPath);
    profile.WriteProfileInt(kSection, "logging", logging);
    profile.WriteProfileString(kSection, "loggingPath", loggingPath);
    profile.Commit();
}
