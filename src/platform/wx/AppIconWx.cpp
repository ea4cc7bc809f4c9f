#include "platform/wx/AppIconWx.h"

#include <wx/icon.h>

#include "res/PelkarIcon.xpm"
#include "res/Resource.h"

wxIconBundle WindowIconsWx(int iconId) {
    wxIconBundle icons;
    if (iconId == IDR_MAINFRAME) icons.AddIcon(wxIcon(pelkar_xpm));
    return icons;
}
