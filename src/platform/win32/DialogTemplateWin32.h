#pragma once

#include <vector>

#include "res/DialogTemplates.h"

// The dialog's template in the system's in-memory form (DLGTEMPLATE with DS_SETFONT and its
// DLGITEMTEMPLATE entries), ready for CreateDialogIndirectParam. The window is made hidden;
// whoever runs it shows it.
std::vector<unsigned char> BuildDialogTemplate(const SDialogTemplate& dialogTemplate);
