#include "platform/wx/DialogUnitsWx.h"

#include <wx/settings.h>
#include <wx/window.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kDialogPointSize = 9;

// The average width over the alphabet, rounded as the classic dialog manager does.
int AverageCharacterWidth(const wxWindow& window) {
    const wxSize extent =
        window.GetTextExtent("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return (extent.x / 26 + 1) / 2;
}

}  // namespace

wxFont DialogFont() {
    wxFont font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
    font.SetPointSize(kDialogPointSize);
    return font;
}

CWxDialogUnits CWxDialogUnits::OfFont(const wxWindow& window) {
    return CWxDialogUnits(AverageCharacterWidth(window), window.GetCharHeight());
}

CWxDialogUnits CWxDialogUnits::WidenedToHold(int pixels, int widthInUnits) const {
    if (widthInUnits <= 0) return *this;
    // Just above the exact width, so the rounding to whole pixels never comes out short.
    const double needed = (pixels + 0.5) * 4.0 / widthInUnits;
    return CWxDialogUnits(std::max(m_baseWidth, needed), m_baseHeight);
}

int CWxDialogUnits::ToPixelsX(int units) const {
    return static_cast<int>(std::lround(units * m_baseWidth / 4.0));
}

int CWxDialogUnits::ToPixelsY(int units) const {
    return static_cast<int>(std::lround(units * m_baseHeight / 8.0));
}

wxRect CWxDialogUnits::ToPixels(const SDialogRect& rect) const {
    return wxRect(ToPixelsX(rect.x), ToPixelsY(rect.y), ToPixelsX(rect.width),
                  ToPixelsY(rect.height));
}

wxSize CWxDialogUnits::ToPixels(int width, int height) const {
    return wxSize(ToPixelsX(width), ToPixelsY(height));
}
