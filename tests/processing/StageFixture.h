#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "app/PELKARDialog.h"

// The main dialog with its settings pointing at scripts in a scratch folder, its log open
// there, and a notifier that only records the texts it is given.
class StageDialog : public CPELKARDialog {
public:
    explicit StageDialog(const TempDir& home);

    // Made public so that the fixture can aim the settings at its scripts.
    using CPELKARDialog::evtDumpPath;
    using CPELKARDialog::ffmpegPath;
    using CPELKARDialog::rtvEditPath;
    using CPELKARDialog::tempPath;

    // Every text given to the notification, in order.
    std::shared_ptr<std::vector<std::string>> shown = std::make_shared<std::vector<std::string>>();

protected:
    std::unique_ptr<CStatusNotifier> CreateStatusNotifier() override;
};

// Runs the processing stages in this process against shell scripts standing in for the
// tools. The profile that the dialog saves at its end goes into the scratch folder.
class StageTest : public ::testing::Test {
protected:
    StageTest();
    ~StageTest() override;

    // A script that records its arguments (one per line, then "---") in Calls(name) and
    // then runs the body.
    std::string WriteTool(const std::string& name, const std::string& body);
    std::string Calls(const std::string& name) const { return home.File(name + ".calls"); }
    // The arguments of each call of a tool, without its own path.
    std::vector<std::vector<std::string>> CallsOf(const std::string& name) const;

    // The log's texts without their time and process prefix.
    std::vector<std::string> LogTexts() const;

    TempDir home;
    std::unique_ptr<StageDialog> dialog;

private:
    std::optional<std::string> m_savedConfigHome;
};

// One log entry whose text spans several lines, split the way LogTexts splits them.
std::vector<std::string> EntryLines(const std::string& text);
