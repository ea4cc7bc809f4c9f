#include "app/LogLine.h"
#include "app/PELKARDialog.h"
#include "app/StatusText.h"
#include "model/ProcessArguments.h"
#include "platform/ErrorLine.h"
#include "platform/Process.h"

namespace {
// The notification holds at most this many bytes of text.
const std::string::size_type kStatusTextLimit = 255;
}  // namespace

void CPELKARDialog::Log(const std::string& text) {
    if (!m_settings.logging || !m_logFile) return;
    if (m_logFile->Write(FormatLogLine(LocalTimeNow(), CurrentProcessId(), text))) return;
    // A full disk, say. The run goes on without its log, and says once why it has none; no
    // box, which would hold up a run with nobody watching.
    m_logFile.reset();
    WriteErrorLine(GetApplicationTitle(),
                   "The log " + m_settings.loggingPath + " could not be written; the run goes on without it.");
}

void CPELKARDialog::ShowStatus(const std::string& text) {
    if (!m_statusNotifier) m_statusNotifier = CreateStatusNotifier();
    m_statusNotifier->Show(FitStatusText(text, kStatusTextLimit));
}

std::unique_ptr<CStatusNotifier> CPELKARDialog::CreateStatusNotifier() {
    return CreatePlatformStatusNotifier();
}
