#pragma once

#include <string>

// The text of the ANSI code page as wide characters.
std::wstring WideText(const std::string& text);

// The "\\?\" form of the path, which the wide calls take beyond the classic 260 characters.
std::wstring LongPathForm(const std::string& path);
