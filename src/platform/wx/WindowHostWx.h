#pragma once

#include <memory>
#include <string>

#include "ui/toolkit/DialogView.h"

// Shows the dialogs as wxWidgets windows. The toolkit starts with the first window or message
// box, not before, so a run that shows none (a post-download run) never opens the display.
class CWxWindowHost : public CWindowHost {
public:
    CWxWindowHost() = default;
    ~CWxWindowHost() override;
    CWxWindowHost(const CWxWindowHost&) = delete;
    CWxWindowHost& operator=(const CWxWindowHost&) = delete;

    // Starts the toolkit unless it runs already; false when the display cannot be opened.
    bool Start();

    std::unique_ptr<CDialogView> CreateView(CDialog& dialog) override;

private:
    enum class EToolkitState { NotStarted, Running, Unavailable };

    EToolkitState m_state = EToolkitState::NotStarted;
    // The program's name as the toolkit was started with it; the toolkit keeps pointing at it.
    std::string m_programName;
};
