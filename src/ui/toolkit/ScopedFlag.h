#pragma once

#include <utility>

// Sets a flag for the lifetime of a scope: the window hosts use it to tell their own changes
// to a control from the user's.
class CScopedFlag {
public:
    explicit CScopedFlag(bool& flag) : m_flag(flag), m_previous(std::exchange(flag, true)) {}
    ~CScopedFlag() { m_flag = m_previous; }
    CScopedFlag(const CScopedFlag&) = delete;
    CScopedFlag& operator=(const CScopedFlag&) = delete;

private:
    bool& m_flag;
    bool m_previous;
};
