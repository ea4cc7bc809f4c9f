#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "platform/AppendFile.h"
#include "processing/ActionRunner.h"

// The run's log, in a file of the scratch folder, and a notification that only records the
// texts it is given.
class RecordingSink : public CRunSink {
public:
    explicit RecordingSink(const std::string& logPath);
    void Log(const std::string& text) override;
    void ShowStatus(const std::string& text) override { shown.push_back(text); }

    // Every text given to the notification, in order.
    std::vector<std::string> shown;

private:
    CAppendFile m_logFile;
};

// Runs the processing stages in this process against shell scripts standing in for the
// tools, with the temporary folder in a scratch folder.
class StageTest : public ::testing::Test {
protected:
    StageTest();

    // A script that records its arguments (one per line, then "---") in Calls(name) and
    // then runs the body.
    std::string WriteTool(const std::string& name, const std::string& body);
    std::string Calls(const std::string& name) const { return home.File(name + ".calls"); }
    // The arguments of each call of a tool, without its own path.
    std::vector<std::vector<std::string>> CallsOf(const std::string& name) const;

    // The log's texts without their time and process prefix.
    std::vector<std::string> LogTexts() const;

    TempDir home;
    RecordingSink sink;
    std::unique_ptr<CActionRunner> runner;
};

// One log entry whose text spans several lines, split the way LogTexts splits them.
std::vector<std::string> EntryLines(const std::string& text);
