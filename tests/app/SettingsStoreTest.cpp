#include <gtest/gtest.h>

#include "ProfileBuilder.h"
#include "ScratchProfile.h"
#include "TestSupport.h"
#include "app/IniText.h"
#include "app/PELKARDialog.h"
#include "model/ProcessArguments.h"
#include "model/Text.h"
#include "platform/Files.h"
#include "platform/Paths.h"

namespace {

// The main dialog with its store in reach, run against a profile in a scratch folder.
class StoreDialog : public CPELKARDialog {
public:
    using CPELKARDialog::m_settings;
};

class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override { SetProcessArguments({"/usr/bin/pelkar"}); }

    std::string Profile() const { return profile.Path(); }
    std::string Stored(const std::string& key) const {
        std::string value;
        EXPECT_TRUE(FindIniValue(ReadWholeFile(Profile()), "PELKAR", key, &value)) << key;
        return value;
    }

    ScratchProfile profile;
};

TEST_F(SettingsStoreTest, EmptyProfileGivesTheDefaults) {
    StoreDialog dialog;
    dialog.LoadSettings();
    EXPECT_TRUE(dialog.m_settings.actions.empty());
    EXPECT_EQ(dialog.m_settings.rtvEditPath, DefaultToolName("rtvedit"));
    EXPECT_EQ(dialog.m_settings.ffmpegPath, DefaultToolName("ffmpeg"));
    EXPECT_EQ(dialog.m_settings.tempPath, GetSystemTempDirectory());
    EXPECT_EQ(dialog.m_settings.logging, 0);
    EXPECT_EQ(dialog.m_settings.loggingPath, "pelkar.log");
}

TEST_F(SettingsStoreTest, EmptyValuesAreKeptWhileMissingKeysGetDefaults) {
    WriteWholeFile(Profile(), "[pelkar]\nFFMPEGPATH=\ntempPath =  \nlogging=5\n");
    StoreDialog dialog;
    dialog.LoadSettings();
    EXPECT_EQ(dialog.m_settings.ffmpegPath, "");
    EXPECT_EQ(dialog.m_settings.tempPath, "");
    EXPECT_EQ(dialog.m_settings.logging, 5);
    EXPECT_EQ(dialog.m_settings.rtvEditPath, DefaultToolName("rtvedit"));
}

TEST_F(SettingsStoreTest, LoggingThatIsNotANumberReadsAsOff) {
    WriteWholeFile(Profile(), "[PELKAR]\nlogging=yes\n");
    StoreDialog dialog;
    dialog.LoadSettings();
    EXPECT_EQ(dialog.m_settings.logging, 0);
}

TEST_F(SettingsStoreTest, GapsAndInvalidSlotsCloseUpInOrder) {
    const CAction first = MakeTitleAction("First", "/out", "A*");
    const CAction second = MakeTitleAction("Second", "/out", "B*");
    CAction withoutFilter = MakeTitleAction("No filter", "/out", "C");
    withoutFilter.GetFilter().SetTitleFlag(0);
    ProfileBuilder profile;
    profile.Raw("action00", "")
        .Raw("action01", first.ToString())
        .Raw("action02", withoutFilter.ToString())
        .Raw("action05", "  ")
        .Raw("action07", second.ToString());
    WriteWholeFile(Profile(), profile.Text());

    StoreDialog dialog;
    dialog.LoadSettings();
    ASSERT_EQ(dialog.m_settings.actions, (std::vector<std::string>{first.ToString(), second.ToString()}));
    dialog.SaveSettings();

    EXPECT_EQ(Stored("action00"), first.ToString());
    EXPECT_EQ(Stored("action01"), second.ToString());
    for (int slot = 2; slot < 75; ++slot) EXPECT_EQ(Stored(FormatText("action%02d", slot)), "");
}

TEST_F(SettingsStoreTest, StoredTextsAreKeptInCanonicalForm) {
    const CAction action = MakeTitleAction("News", "/out", "News");
    // The same action with blanks around its texts and a short filter.
    WriteWholeFile(
        Profile(),
        "[PELKAR]\naction00= News ||/out ||%title%||1||0||0||0|||0||<NULL>||1|| News||\n");
    StoreDialog dialog;
    dialog.LoadSettings();
    ASSERT_EQ(dialog.m_settings.actions.size(), 1u);
    EXPECT_EQ(dialog.m_settings.actions[0], action.ToString());
}

TEST_F(SettingsStoreTest, SeventyFiveActionsAreAllStored) {
    ProfileBuilder profile;
    for (int i = 0; i < 75; ++i) profile.Action(MakeTitleAction(FormatText("A%d", i), "/o", "*"));
    profile.Raw("action75", MakeTitleAction("Beyond", "/o", "*").ToString());
    WriteWholeFile(Profile(), profile.Text());

    StoreDialog dialog;
    dialog.LoadSettings();
    ASSERT_EQ(dialog.m_settings.actions.size(), 75u);
    dialog.SaveSettings();
    EXPECT_EQ(Stored("action74"), MakeTitleAction("A74", "/o", "*").ToString());
}

TEST_F(SettingsStoreTest, SaveWritesEveryKeyAndRemovedActionsLeaveNoTrace) {
    StoreDialog dialog;
    dialog.LoadSettings();
    dialog.m_settings.actions = {MakeTitleAction("One", "/o", "*").ToString(),
                        MakeTitleAction("Two", "/o", "*").ToString()};
    dialog.SaveSettings();
    dialog.m_settings.actions.pop_back();
    dialog.m_settings.logging = 1;
    dialog.SaveSettings();

    EXPECT_EQ(Stored("action01"), "");
    EXPECT_EQ(Stored("logging"), "1");
    EXPECT_EQ(Stored("tempPath"), GetSystemTempDirectory());
    size_t keys = 0;
    for (const std::string& line : SplitLines(ReadWholeFile(Profile())))
        keys += line.find('=') != std::string::npos;
    EXPECT_EQ(keys, 81u);
}

// Another program may be replacing the file at the moment of the save: a file of defaults in its
// place would lose every action.
TEST_F(SettingsStoreTest, ProfileFoundAtLoadAndGoneAtSaveIsNotReplacedByDefaults) {
    WriteWholeFile(Profile(), "[PELKAR]\nlogging=1\n");
    StoreDialog unchanged, changed;
    unchanged.LoadSettings();
    changed.LoadSettings();
    ASSERT_TRUE(RemoveFile(Profile()));
    changed.m_settings.logging = 0;
    unchanged.SaveSettings();
    changed.SaveSettings();
    EXPECT_FALSE(FileExists(Profile()));
}

TEST_F(SettingsStoreTest, LongActionTextsSurviveASaveAndALoad) {
    CAction action = MakeTitleAction(std::string(3000, 'n'), std::string(3000, 'd'), "*");
    action.SetOutputFilename(std::string(3000, 'f'));
    StoreDialog saving;
    saving.m_settings.actions = {action.ToString()};
    saving.SaveSettings();

    StoreDialog loading;
    loading.LoadSettings();
    ASSERT_EQ(loading.m_settings.actions.size(), 1u);
    EXPECT_EQ(loading.m_settings.actions[0], action.ToString());
}

}  // namespace
