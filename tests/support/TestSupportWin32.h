#pragma once

#include <map>
#include <string>

#include "TestSupport.h"

// Runs a whole command line as it stands, the way the DVArchive host starts its
// post-download command (values with blanks are not quoted), and waits for it.
ProcessResult RunCommandLine(const std::string& commandLine,
                             const std::map<std::string, std::string>& environment = {});

// The Windows directory, where PELKAR.EXE keeps its profile.
std::string WindowsDirectory();
