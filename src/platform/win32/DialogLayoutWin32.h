#pragma once

#include <windows.h>

#include <string>

#include "res/DialogTemplates.h"

// The system's font may need more room for a text than the template's font did (Wine's
// stand-in for "MS Sans Serif" does); then the dialog's whole layout widens evenly, so the
// controls keep their places relative to each other and no text is cut.
void WidenToFitTexts(HWND dialog, const SDialogTemplate& dialogTemplate);

// The window's text (a control's, or a caption).
std::string WindowText(HWND window);
