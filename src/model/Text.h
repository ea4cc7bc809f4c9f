#pragma once

#include <string>

// Small text helpers shared by every layer. Texts are 8-bit strings in the system's code page.

// Space, tab, line feed, vertical tab, form feed and carriage return.
bool IsWhiteSpace(char c);

std::string Trim(const std::string& text);
std::string TrimRight(const std::string& text);

// Lower-cases ASCII letters only, so every byte keeps its position.
std::string ToLower(const std::string& text);

// printf-style formatting into a string of any length.
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Like atoi: skips leading white space, takes an optional sign and the digits that follow,
// ignores the rest; 0 when there are no digits. Saturates instead of overflowing.
int DecimalValue(const std::string& text);
