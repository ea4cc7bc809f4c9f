#include "processing/ToolWait.h"

#include "processing/ConsoleRunner.h"

void WaitForToolEnd(const CConsoleRunner& runner) {
    while (runner.IsRunning()) runner.WaitForEnd(kToolPollMilliseconds);
}
