#pragma once

#include <wx/string.h>

#include <string>

// The program's texts are 8-bit; the desktop's are UTF-8. A text that is not valid UTF-8 (a
// profile written in a single-byte code page) is read as Latin-1, so it still shows.
wxString ToWx(const std::string& text);
std::string FromWx(const wxString& text);

// Offsets into a text: the program counts bytes, the toolkit counts characters.
long CharacterOffset(const std::string& text, int byteOffset);
