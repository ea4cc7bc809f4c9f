#pragma once

#include <string>

// The program's strings are in the system's code page: on Windows the ANSI code page, which the
// system's ANSI profile functions convert a Unicode profile into; elsewhere UTF-8. These carry
// the text of a Unicode file (as UTF-8) into that code page and back. False when a character
// has no equivalent on the other side, so a file is never rewritten with characters lost.
bool SystemTextFromUtf8(const std::string& utf8, std::string* text);
bool Utf8FromSystemText(const std::string& text, std::string* utf8);
