#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "TestSupport.h"

// The options of the one stored action of a HostRunTest profile.
struct ActionOptions {
    int audioOnly = 0;
    int stripCommercials = 0;
    int twoPass = 0;
};

// The action as the profile stores it: seven head fields, then the filter's thirteen flag and
// pattern pairs, of which only the title is on.
std::string StoredAction(const std::string& name, const std::string& directory,
                         const ActionOptions& options,
                         const std::string& filenameTemplate = "%title%",
                         const std::string& titlePattern = "Evening*");

// A log entry runs from its prefixed line up to the next one; the prefix is removed.
std::vector<std::string> LogEntries(const std::string& logText);

// Post-download runs of build/pelkar against the stand-in tools, in a scratch home with its
// own profile, recording, output folder and temporary folder.
class HostRunTest : public ::testing::Test {
protected:
    HostRunTest();

    std::string Recording() const { return home.File("rec/show.mpg"); }
    std::string OutputDirectory() const { return home.File("out"); }
    std::string TempPath() const { return home.File("tmp") + "/"; }
    std::string Record() const { return home.File("standin.txt"); }
    std::string ProfilePath() const { return home.File("pelkar.ini"); }
    std::string LogPath() const { return home.File("pelkar.log"); }

    // A profile with the one action "Archive" and the stand-ins as tools; settings may be
    // overridden or added.
    void WriteProfile(const ActionOptions& options,
                      const std::map<std::string, std::string>& settings = {});
    // The profile's settings: tools, temporary folder and log.
    std::map<std::string, std::string> Settings(
        const std::map<std::string, std::string>& overrides = {}) const;

    // The environment of a run: this home's profile and the stand-ins' record, plus extras.
    std::map<std::string, std::string> Environment(
        const std::map<std::string, std::string>& extra = {}) const;
    // The host's command line for the recording (or another path) and a title.
    std::vector<std::string> Arguments(const std::string& title,
                                       const std::string& recording = "") const;
    // Runs the host's command line and checks the exit status.
    ProcessResult Run(const std::map<std::string, std::string>& toolSettings = {},
                      int exitStatus = 0, const std::string& title = "Evening News");

    // The log entries of the action's run: from the first action tried to the end.
    std::vector<std::string> RunEntries() const;
    // Each call the stand-ins recorded: the program and its arguments, and for RTVEdit the
    // line "stdin:" and its input.
    std::vector<std::vector<std::string>> Calls() const;
    // What a stand-in prints when run by itself with the same arguments.
    std::string OutputOf(std::vector<std::string> call,
                         const std::map<std::string, std::string>& toolSettings = {}) const;
    std::string Destination(const std::string& extension,
                            const std::string& title = "Evening News") const;

    TempDir home;
};
