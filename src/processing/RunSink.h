#pragma once

#include <string>

// Where a run says what it does: its log and the desktop notification.
class CRunSink {
public:
    virtual ~CRunSink() = default;
    virtual void Log(const std::string& text) = 0;
    virtual void ShowStatus(const std::string& text) = 0;
};
