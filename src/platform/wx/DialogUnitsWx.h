#pragma once

#include <wx/font.h>
#include <wx/gdicmn.h>

#include "res/DialogTemplates.h"

class wxWindow;

// The font the dialogs are shown in: the desktop's own GUI font, at about the size the
// templates were laid out for. Their font (MS Sans Serif 8 pt) is not found on a Linux desktop,
// and the desktop's controls need the little extra room that 9 points give.
wxFont DialogFont();

// Converts dialog units to pixels: horizontally a quarter of the base width, vertically an
// eighth of the base height.
class CWxDialogUnits {
public:
    CWxDialogUnits(double baseWidth, double baseHeight)
        : m_baseWidth(baseWidth), m_baseHeight(baseHeight) {}
    // The units of a window's font: its average character width and its height.
    static CWxDialogUnits OfFont(const wxWindow& window);

    // These units, made wide enough that the given width in dialog units holds the pixels.
    CWxDialogUnits WidenedToHold(int pixels, int widthInUnits) const;

    double BaseWidth() const { return m_baseWidth; }
    int ToPixelsX(int units) const;
    int ToPixelsY(int units) const;
    wxRect ToPixels(const SDialogRect& rect) const;
    wxSize ToPixels(int width, int height) const;

private:
    double m_baseWidth;
    double m_baseHeight;
};
