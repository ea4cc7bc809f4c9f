#pragma once

class CConsoleRunner;

// The stages look at a running tool once a second (to update the notification), but notice
// its end at once.
const unsigned kToolPollMilliseconds = 1000;

// Waits until the runner's tool has ended or the time-out has passed (true when it has
// ended). A request to stop the program ends the tool, and everything it started, at once.
bool WaitForToolEnd(CConsoleRunner& runner, unsigned timeoutMilliseconds);

// Waits until the runner's tool has ended (at once when it never started).
void WaitForToolEnd(CConsoleRunner& runner);
