#pragma once

#include <wx/iconbndl.h>

// The window icons of an icon resource (IDR_MAINFRAME), or an empty bundle for 0 or an id
// that names no icon.
wxIconBundle WindowIconsWx(int iconId);
