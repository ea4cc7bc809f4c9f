#pragma once

#include <string>

class wxWindow;

// A message box owned by the window (none: no owner), style holding the MB_ button and icon
// flags. Returns IDOK, IDCANCEL, IDYES or IDNO; a box left with Esc or its close box answers what
// changes nothing (Cancel, or No to a question).
int ShowMessageBoxWx(wxWindow* owner, const std::string& text, const std::string& caption,
                     unsigned style);
