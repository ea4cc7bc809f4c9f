#include "app/PELKARDialog.h"
#include "app/Profile.h"
#include "app/StoredSettings.h"
#include "model/Action.h"
#include "model/StoredTextCheck.h"
#include "model/Text.h"
#include "platform/FileIdentity.h"
#include "platform/Files.h"
#include "platform/Paths.h"

namespace {

const char* const kSection = "PELKAR";

std::string ActionKey(int index) {
    return FormatText("action%02d", index);
}

}  // namespace

bool SStoredSettings::operator==(const SStoredSettings& other) const {
    return actions == other.actions && rtvEditPath == other.rtvEditPath &&
           evtDumpPath == other.evtDumpPath && ffmpegPath == other.ffmpegPath &&
           tempPath == other.tempPath && logging == other.logging &&
           loggingPath == other.loggingPath;
}

SToolSettings ToolSettings(const SStoredSettings& settings) {
    return SToolSettings{settings.rtvEditPath, settings.evtDumpPath, settings.ffmpegPath,
                         settings.tempPath};
}

std::vector<std::string> ReadStoredActionTexts(const CProfile& profile, int maxActions) {
    std::vector<std::string> texts;
    for (int i = 0; i < maxActions; ++i) {
        std::string stored = profile.GetProfileString(kSection, ActionKey(i), "");
        if (!stored.empty()) texts.push_back(std::move(stored));
    }
    return texts;
}

SStoredSettings ReadStoredSettings(const CProfile& profile, int maxActions) {
    SStoredSettings settings;
    for (const std::string& stored : ReadStoredActionTexts(profile, maxActions)) {
        CAction action;
        action.FromString(stored);
        if (action.IsValid()) settings.actions.push_back(KeptActionText(stored));
    }
    settings.rtvEditPath =
        profile.GetProfileString(kSection, "rtvEditPath", DefaultToolName("rtvedit"));
    settings.evtDumpPath =
        profile.GetProfileString(kSection, "evtDumpPath", DefaultToolName("evtdump"));
    settings.ffmpegPath =
        profile.GetProfileString(kSection, "ffmpegPath", DefaultToolName("ffmpeg"));
    settings.tempPath = profile.GetProfileString(kSection, "tempPath", GetSystemTempDirectory());
    settings.logging = profile.GetProfileInt(kSection, "logging", 0);
    settings.loggingPath = profile.GetProfileString(kSection, "loggingPath", "pelkar.log");
    return settings;
}

namespace {

// The temporary folder comes from the environment of this one run when the profile names
// none; only a folder that every later run can use too is worth keeping.
bool IsWorthStoring(const std::string& tempPath) {
    return tempPath != GetSystemTempDirectory() ||
           (IsAbsolutePath(tempPath) && IsExistingFolder(tempPath));
}

}  // namespace

void WriteStoredSettings(const SStoredSettings& settings, int maxActions, CProfile& profile) {
    for (int i = 0; i < maxActions; ++i) {
        const bool inList = i < static_cast<int>(settings.actions.size());
        profile.WriteProfileString(kSection, ActionKey(i), inList ? settings.actions[i] : "");
    }
    profile.WriteProfileString(kSection, "rtvEditPath", settings.rtvEditPath);
    profile.WriteProfileString(kSection, "evtDumpPath", settings.evtDumpPath);
    profile.WriteProfileString(kSection, "ffmpegPath", settings.ffmpegPath);
    if (IsWorthStoring(settings.tempPath))
        profile.WriteProfileString(kSection, "tempPath", settings.tempPath);
    profile.WriteProfileInt(kSection, "logging", settings.logging);
    profile.WriteProfileString(kSection, "loggingPath", settings.loggingPath);
}

void CPELKARDialog::LoadSettings() {
    const CProfile profile(GetProfilePath());
    if (!profile.IsReadable()) {
        m_profileError =
            "The profile " + GetProfilePath() + " cannot be read: " + profile.ReadError();
    }
    m_unknownEncoding = profile.HasUnknownEncoding();
    if (m_unknownEncoding) {
        m_profileNote = "The profile " + GetProfilePath() +
                        " is in an encoding PELKAR cannot read; the defaults are used and the "
                        "file is left as it is.";
    }
    if (GetProfilePath().empty()) {
        m_profileNote =
            "No absolute home folder is set (HOME, XDG_CONFIG_HOME), so there is no "
            "profile; the defaults are used and nothing is saved.";
    }
    m_profileFound = profile.WasFound();
    m_settings = ReadStoredSettings(profile, MaxActions);
    m_savedSettings = m_settings;
    m_storedActionTexts = ReadStoredActionTexts(profile, MaxActions);
}

// A save that has nothing of its own to store (an unattended run, or a window whose changes
// are all saved) stores the file's own current content in canonical form, so that it never
// undoes what another instance saved meanwhile.
void CPELKARDialog::SaveSettings() {
    if (GetProfilePath().empty()) {
        m_saveError = "no absolute home folder is set";
        return;
    }
    const SStoredSettings& settings = m_settings;
    const EMissingProfile ifMissing =
        m_profileFound ? EMissingProfile::LeaveAlone : EMissingProfile::Create;
    EProfileSave saved;
    if (settings == m_savedSettings) {
        saved = CProfile::Rewrite(
            GetProfilePath(),
            [](const CProfile& current, CProfile& writes) {
                WriteStoredSettings(ReadStoredSettings(current, MaxActions), MaxActions, writes);
            },
            ifMissing, &m_saveError);
    } else {
        CProfile profile(GetProfilePath());
        WriteStoredSettings(settings, MaxActions, profile);
        saved = profile.Commit(ifMissing, &m_saveError);
        if (saved == EProfileSave::Saved) m_savedSettings = settings;
    }
    if (saved == EProfileSave::Busy) {
        Log("SaveSettings(): The profile is locked by another PELKAR; the settings were not "
            "saved.");
    } else if (saved == EProfileSave::Failed) {
        Log("SaveSettings(): The profile " + GetProfilePath() + " could not be saved.");
    }
}
