#include "processing/ToolWait.h"

#include <algorithm>

#include "platform/StopRequest.h"
#include "processing/ConsoleRunner.h"

namespace {

// How often a wait looks for a request to stop the program.
const unsigned kStopCheckMilliseconds = 100;
// How long a tool asked to stop may take before it is forced.
const unsigned kStopGraceMilliseconds = 3000;

}  // namespace

bool WaitForToolEnd(CConsoleRunner& runner, unsigned timeoutMilliseconds) {
    for (unsigned waited = 0;; waited += kStopCheckMilliseconds) {
        if (StopRequestSignal() != 0) {
            runner.EndChild(kStopGraceMilliseconds);
            return !runner.IsRunning();
        }
        if (waited >= timeoutMilliseconds) return !runner.IsRunning();
        const unsigned slice = std::min(kStopCheckMilliseconds, timeoutMilliseconds - waited);
        if (runner.WaitForEnd(slice)) return true;
    }
}

void WaitForToolEnd(CConsoleRunner& runner) {
    while (!WaitForToolEnd(runner, kToolPollMilliseconds)) {
    }
}
