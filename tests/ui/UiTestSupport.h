#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ProfileBuilder.h"
#include "TestSupport.h"
#include "platform/headless/HeadlessHost.h"
#include "ui/toolkit/Dialog.h"

// The program path the dialogs see; it has a blank, which the copied command keeps unquoted.
extern const char* const kTestProgramPath;

// A scratch profile home, the process arguments of an interactive start, and the headless
// host that plays the user.
class UiTest : public ::testing::Test {
protected:
    UiTest();
    ~UiTest() override;

    std::string ProfilePath() const { return m_profile.Path(); }
    bool ProfileSaved() const { return FileExists(ProfilePath()); }
    void WriteProfile(const ProfileBuilder& profile) const;
    // A value of the PELKAR section; empty when missing.
    std::string StoredValue(const std::string& key) const;
    // The names of the stored actions, slot by slot up to the first empty slot.
    std::vector<std::string> StoredActionNames() const;

    // Runs the main window (as an interactive start) with the script playing the user.
    void RunMainWindow(CHeadlessHost::Script script);

    CHeadlessHost host;

private:
    ScratchProfile m_profile;
};

// The rows of a list box, top to bottom.
std::vector<std::string> ListRows(const CDialog& dialog, int listId);

// Fills the open action editor with a complete action whose filter tests the title, and
// confirms it.
void EnterCompleteAction(CDialog& editor, const std::string& name);
