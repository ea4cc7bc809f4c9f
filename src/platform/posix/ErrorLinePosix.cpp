#include "platform/ErrorLine.h"
#include "platform/Console.h"

// Here the message box of last resort is already such a line.
void WriteErrorLine(const std::string& caption, const std::string& text) {
    WriteConsoleMessage(caption, text);
}
