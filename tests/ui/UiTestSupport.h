#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ProfileBuilder.h"
#include "ScratchProfile.h"
#include "TestSupport.h"
#include "HeadlessHost.h"
#include "ui/toolkit/Dialog.h"

// The program path as started, which names no file: the dialogs take their title from it.
extern const char* const kTestProgramPath;

// A scratch profile, the process arguments of an interactive start, and the headless host
// that plays the user.
class UiTest : public ::testing::Test {
protected:
    UiTest();

    std::string ProfilePath() const { return m_profile.Path(); }
    bool ProfileSaved() const { return m_profile.Exists(); }
    void WriteProfile(const ProfileBuilder& profile) const { m_profile.Write(profile); }
    // A value of the PELKAR section; empty when missing.
    std::string StoredValue(const std::string& key) const { return m_profile.StoredValue(key); }
    // The names of the stored actions, slot by slot up to the first empty slot.
    std::vector<std::string> StoredActionNames() const { return m_profile.StoredActionNames(); }

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
