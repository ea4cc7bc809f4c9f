#include "app/LogLine.h"
#include "app/PELKARDialog.h"
#include "app/StatusText.h"
#include "platform/Platform.h"

namespace {
// The notification holds at most this many bytes of text.
const std::string::size_type kStatusTextLimit = 255;
}  // namespace

void CPELKARDialog::Log(const std::string& text) {
    if (!logging || !m_logFile) return;
    m_logFile->Write(FormatLogLine(LocalTimeNow(), CurrentProcessId(), text));
}

void CPELKARDialog::ShowStatus(const std::string& text) {
    if (!m_statusNotifier) m_statusNotifier = CreateStatusNotifier();
    m_statusNotifier->Show(FitStatusText(text, kStatusTextLimit));
}

std::unique_ptr<CStatusNotifier> CPELKARDialog::CreateStatusNotifier() {
    return CreatePlatformStatusNotifier();
}
